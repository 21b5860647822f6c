// The menu item the main window creates for each of a view's menu commands:
// it stores the view's handler and whether the item carries a check mark.
#pragma once

#include <QAction>
#include <functional>

#include "views/view_menu_action.h"

namespace prambus {

class ViewMenuItem : public QAction, public MenuEntry {
  Q_OBJECT
 public:
  ViewMenuItem(const QString& caption, bool checkable, QObject* parent);

  void SetHandler(std::function<bool(bool)> handler) { handler_ = std::move(handler); }
  bool CallHandler(bool checked) { return handler_ ? handler_(checked) : false; }
  bool IsCheckableCommand() const { return checkable_; }

  bool Checked() const override { return isChecked(); }
  void SetChecked(bool on) override { setChecked(on); }
  void SetShortcutText(const std::string& text) override;

 private:
  std::function<bool(bool)> handler_;
  bool checkable_;
};

}  // namespace prambus
