// The plug-in callbacks' view of the main window: keys, typing, layout,
// open and save, the file name, and the tails that follow a change made on
// the view directly.
#pragma once

#include <QString>

#include "extensions/plugin_callbacks.h"

namespace prambus {

class MainWindow;

class PluginWindowAdapter : public ExtensionWindow {
 public:
  explicit PluginWindowAdapter(MainWindow& window) : window_(window) {}
  ViewBase* CurrentView() override;
  int CurrentViewKind() const override;
  bool WholeDocument() override;
  bool PressKey(int virtualKey, uint8_t shiftState) override;
  bool TypeCharacter(uint8_t ch) override;
  void Relayout() override;
  bool OpenFile(const std::string& path) override;
  bool SaveFile(const std::string& path) override;
  std::string FileName() const override;
  void BeforeViewChange() override;
  void AfterCursorMove() override;
  void AfterEdit() override;

 private:
  MainWindow& window_;
};

}  // namespace prambus
