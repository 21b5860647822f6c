// Loaded encodings in the encoding menu, and the recode command.
#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QInputDialog>
#include <QScreen>

#include "encodings/code_tables.h"
#include "encodings/enc_file.h"
#include "io/io_error.h"
#include "io/posix_file.h"
#include "main_window.h"
#include "platform/services.h"
#include "recode_dialog.h"

namespace prambus {

// Adds a loaded encoding (or renames it when its path is already listed);
// false when its file cannot be parsed.
bool MainWindow::AddLoadedEncoding(const QString& path, const QString& name) {
  const std::string p = path.toStdString();
  for (size_t i = 0; i < state_.encodings.size(); ++i) {
    if (state_.encodings[i].path == p) {
      state_.encodings[i].name = name.toStdString();
      encodingActions_[i + 2]->setText(name);
      return true;
    }
  }
  CodeTable table;
  if (!loadEncodingFile(p, table)) return false;
  state_.encodings.push_back({p, name.toStdString()});
  auto* a = new QAction(name, encodingMenu_);
  a->setCheckable(true);
  encodingMenu_->insertAction(encodingActions_.back(), a);
  encodingActions_.insert(encodingActions_.end() - 1, a);
  connect(a, &QAction::triggered, this, [this, a] {
    const auto it = std::find(encodingActions_.begin(), encodingActions_.end(), a);
    SelectEncoding(static_cast<int>(it - encodingActions_.begin()));
  });
  return true;
}

// Removes the loaded encoding at a menu position, keeping the remembered
// positions (current and pinned) on the same items.
void MainWindow::RemoveLoadedEncoding(int position) {
  if (position < 2 || position >= static_cast<int>(encodingActions_.size()) - 1) return;
  auto fix = [position](uint8_t& index) {
    if (index == position)
      index = 0;
    else if (index > position)
      --index;
  };
  fix(state_.defaults.encodingIndex);
  for (WindowAppearance& w : state_.pinned) fix(w.encodingIndex);
  const bool wasChecked = encodingActions_[position]->isChecked();
  delete encodingActions_[position];
  encodingActions_.erase(encodingActions_.begin() + position);
  state_.encodings.erase(state_.encodings.begin() + (position - 2));
  if (wasChecked) encodingActions_[0]->setChecked(true);
}

void MainWindow::RestoreLoadedEncodings() {
  const std::vector<LoadedEncoding> stored = std::move(state_.encodings);
  state_.encodings.clear();
  for (const LoadedEncoding& e : stored)
    AddLoadedEncoding(QString::fromStdString(e.path), QString::fromStdString(e.name));
}

void MainWindow::LoadEncodingCommand() {
  BeforeModalDialog();
  const QString path = QFileDialog::getOpenFileName(
      this, "Открыть файл", QCoreApplication::applicationDirPath(), "кодировки (*.enc)");
  if (path.isEmpty()) {
    AfterModalDialog();
    return;
  }
  try {
    InputFile probe(path.toStdString());  // a FIFO, device or folder is refused unopened
  } catch (const IoError& e) {
    AfterModalDialog();
    ReportCannotOpen(path, e);
    return;
  }
  CodeTable table;
  if (!loadEncodingFile(path.toStdString(), table)) {
    Beep();
    AfterModalDialog();
    ShowPlainMessage("К сожалению, я не могу разобрать формат указанного файла кодировки.");
    return;
  }
  bool ok = false;
  QString name =
      QInputDialog::getText(this, "Ввод названия кодировки", "Как будет называться эта кодировка?",
                            QLineEdit::Normal, "новая кодировка", &ok);
  if (!ok) name = "новая кодировка";
  AfterModalDialog();
  if (!AddLoadedEncoding(path, name)) return;
  for (size_t i = 2; i + 1 < encodingActions_.size(); ++i) {
    if (encodingActions_[i]->text() == name) {
      SelectEncoding(static_cast<int>(i));
      break;
    }
  }
}

// The table of a recode list entry: Windows, DOS, the four conversions, then
// the loaded encodings. False (and the encoding removed) when its file fails.
bool MainWindow::RecodeTable(int entry, bool target, CodeTable& table) {
  if (entry == 0)
    table = WindowsTable();
  else if (entry == 1)
    table = target ? DosForOutputTable() : DosTable();
  else if (entry <= 5)
    table = MarkerTable(static_cast<uint8_t>(entry - 2));
  else {
    const size_t k = static_cast<size_t>(entry - 6);
    if (k >= state_.encodings.size() || !loadEncodingFile(state_.encodings[k].path, table)) {
      RemoveLoadedEncoding(entry - 4);
      return false;
    }
  }
  return true;
}

void MainWindow::RecodeCommand() {
  if (!view_) return;
  RecodeDialog dialog(this);
  QStringList names;
  for (const LoadedEncoding& e : state_.encodings) names << QString::fromStdString(e.name);
  int source = 0, target = 1;
  const int checked = CheckedEncodingIndex();
  if (checked != 0) {
    target = 0;
    source = checked == 1 ? 1 : checked + 4;
  }
  dialog.Fill(names, source, target, ToQColor(canvas_.BrushColor()),
              ToQColor(canvas_.GetFont().color));
  const QPoint pointer = QCursor::pos();
  const QRect screenRect = screen()->geometry();
  int left = std::clamp(pointer.x() - dialog.width() / 2, 0,
                        std::max(0, screenRect.width() - dialog.width()));
  int top = pointer.y() + 1;
  if (top + dialog.height() >= screenRect.height()) top = pointer.y() - dialog.height() - 1;
  dialog.move(left, std::max(0, top));
  BeforeModalDialog();
  const int result = recodeChoiceForTest ? recodeChoiceForTest(dialog) : dialog.exec();
  AfterModalDialog();
  if (result != 1) return;
  CodeTable from, to;
  const int s = dialog.Source(), t = dialog.Target();
  if (!RecodeTable(s, false, from) || !RecodeTable(t, true, to)) {
    Beep();
    return;
  }
  HideCaret();
  view_->Recode(from, to);
  RefreshUndoRedo();
  SetModified(true);
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

}  // namespace prambus
