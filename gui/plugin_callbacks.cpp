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
// and the window state, then the file.
bool PluginWindowAdapter::OpenFile(const std::string& path) {
  if (window_.modified_ && window_.AskToSave()) return false;
  const QString name =
      QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absoluteFilePath();
  window_.PushCurrentToRecent();
  window_.CaptureWindowState();
  try {
    window_.OpenPath(name);
  } catch (const std::exception&) {
    return false;
  }
  return window_.fileName_ == name;
}

bool PluginWindowAdapter::SaveFile(const std::string& path) {
  if (!path.empty()) NameDocument(window_, QFile::decodeName(QByteArray::fromStdString(path)));
  return window_.Save();
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
