#include "plugin_callbacks.h"

#include <QFile>
#include <QFileInfo>

#include "main_window.h"
#include "virtual_key_map.h"

namespace prambus {

ViewBase* PluginWindowAdapter::CurrentView() {
  return window_.view_.get();
}

int PluginWindowAdapter::CurrentViewKind() const {
  return window_.viewKind_;
}

bool PluginWindowAdapter::PressKey(int virtualKey, uint8_t shiftState) {
  const std::optional<QtKeyPress> press = QtKeyFromVirtual(virtualKey, shiftState);
  if (!press) return false;
  window_.KeyDown(press->key, press->modifiers);
  return true;
}

void PluginWindowAdapter::TypeCharacter(uint8_t ch) {
  window_.KeyPress(ch);
}

void PluginWindowAdapter::Relayout() {
  window_.FormResize();
}

// As a dropped file opens: the unsaved document first, then the recent list
// and the window state, then the file; a failure is reported as for a drop.
bool PluginWindowAdapter::OpenFile(const std::string& path) {
  return window_.OpenDropped(QFile::decodeName(QByteArray::fromStdString(path)));
}

// Under a new name as "Сохранить как..." does: the document takes the name
// only once it is saved there, so a failed save leaves it as it was.
bool PluginWindowAdapter::SaveFile(const std::string& path) {
  if (path.empty()) return window_.Save();
  const QString name =
      QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absoluteFilePath();
  if (!window_.WriteDocument(name)) return false;
  NameDocument(window_, name);
  window_.SetModified(false);
  return true;
}

std::string PluginWindowAdapter::FileName() const {
  return QFile::encodeName(window_.fileName_).toStdString();
}

void PluginWindowAdapter::BeforeViewChange() {
  window_.HideCaret();
}

void PluginWindowAdapter::AfterCursorMove() {
  window_.desiredColumn_ = -1;
  window_.SyncAfterMove();
}

void PluginWindowAdapter::AfterEdit(bool rowsChanged) {
  window_.desiredColumn_ = -1;
  window_.EditTail(rowsChanged);
}

void NameDocument(MainWindow& window, const QString& path) {
  window.fileName_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
  window.windowHash_ = window.fileName_.isEmpty() ? 0 : MainWindow::HashOf(window.fileName_);
  window.RefreshTitle();
}

}  // namespace prambus
