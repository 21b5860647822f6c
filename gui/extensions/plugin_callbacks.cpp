#include "plugin_callbacks.h"

#include "io/lexical_path.h"
#include "main_window.h"
#include "virtual_key_map.h"

namespace prambus {

ViewBase* PluginWindowAdapter::CurrentView() {
  return window_.view_.get();
}

int PluginWindowAdapter::CurrentViewKind() const {
  return window_.viewKind_;
}

bool PluginWindowAdapter::WholeDocument() {
  return window_.EnsureWholeDocument() && window_.view_;
}

// A plug-in's key may edit or reach anywhere: the document is whole first.
bool PluginWindowAdapter::PressKey(int virtualKey, uint8_t shiftState) {
  const std::optional<QtKeyPress> press = QtKeyFromVirtual(virtualKey, shiftState);
  if (!press || !WholeDocument()) return false;
  window_.KeyDown(press->key, press->modifiers);
  return true;
}

bool PluginWindowAdapter::TypeCharacter(uint8_t ch) {
  if (!WholeDocument()) return false;
  window_.KeyPress(ch);
  return true;
}

void PluginWindowAdapter::Relayout() {
  window_.FormResize();
}

// As a dropped file opens: the unsaved document first, then the recent list
// and the window state, then the file; a failure is reported as for a drop.
bool PluginWindowAdapter::OpenFile(const std::string& path) {
  return window_.OpenDropped(path);
}

// Under a new name as "Сохранить как..." does: the document takes the name
// only once it is saved there, so a failed save leaves it as it was.
bool PluginWindowAdapter::SaveFile(const std::string& path) {
  if (path.empty()) return window_.Save();
  const std::string name = AbsolutePathOf(path);
  if (!window_.WriteDocument(name)) return false;
  window_.NameSavedDocument(name);
  return true;
}

std::string PluginWindowAdapter::FileName() const {
  return window_.doc_.path;
}

void PluginWindowAdapter::BeforeViewChange() {
  window_.HideCaret();
}

void PluginWindowAdapter::AfterCursorMove() {
  window_.desiredColumn_ = -1;
  window_.SyncAfterMove();
}

void PluginWindowAdapter::AfterEdit() {
  window_.desiredColumn_ = -1;
  window_.EditTail();
}

}  // namespace prambus
