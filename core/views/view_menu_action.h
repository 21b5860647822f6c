// A view's description of its own menu commands, and the menu entry the
// main window creates for each and hands back to the view.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace prambus {

// The gui's menu item as the view sees it.
class MenuEntry {
 public:
  virtual ~MenuEntry() = default;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool on) = 0;
  virtual void SetShortcutText(const std::string& text) = 0;  // e.g. "Ctrl+W"
};

enum MenuPlacement : uint8_t {
  kPlaceFormat = 0,  // top of "Формат"
  kPlaceExtra = 1,   // position 5 of "Дополнительно"
  // n >= 2: child of the entry with index n - 2
};

struct ViewMenuAction {
  std::string caption;  // UTF-8
  // Called with the new check state; returns true when the document changed.
  std::function<bool(bool)> handler;
  bool checkable = false;
  bool initiallyMarked = false;
  uint8_t placement = kPlaceFormat;
};

using ViewMenuActions = std::vector<ViewMenuAction>;

}  // namespace prambus
