// "Кодировка": the display table of the document (Windows, DOS or a table
// loaded from an .enc file), F8 stepping through them, and the loaded
// encodings kept in the stored state.
#include <QCoreApplication>

#include "encodings/code_tables.h"
#include "encodings/enc_file.h"
#include "io/io_error.h"
#include "io/posix_file.h"
#include "main_window.h"
#include "platform/services.h"

namespace prambus {

// Installs the display table of the encoding item at a menu position: the two
// built-in tables, or a table loaded again from its .enc file. False when the
// item was removed (its file no longer parses) or refused for display.
bool MainWindow::SelectEncoding(int position) {
  const int items = static_cast<int>(encodingActions_.size());
  if (position < 0 || position >= items) position = 0;
  CodeTable table = WindowsTable();
  if (position == 1) {
    table = DosTable();
  } else if (position >= 2) {
    const size_t k = static_cast<size_t>(position - 2);
    if (k >= state_.encodings.size() || !loadEncodingFile(state_.encodings[k].path, table)) {
      RemoveLoadedEncoding(position);  // its file is gone or no longer parses
      return false;
    }
    if (!CanShowDocument(table)) {  // it would change bytes the user never touched
      ShowNote(
          "Эту кодировку можно выбрать только для перекодировки: в ней разные коды выглядят "
          "одинаково, и при сохранении файл изменился бы.");
      // The mark stays where it was (a click has already set it on this item);
      // a view just created shows the identity table, and the mark says so.
      encodingActions_[position]->setChecked(false);
      if (view_ && view_->CharTable == WindowsTable())
        for (int i = 0; i < items; ++i) encodingActions_[i]->setChecked(i == 0);
      return false;
    }
  }
  for (int i = 0; i < items; ++i) encodingActions_[i]->setChecked(i == position);
  if (!view_) return true;
  view_->SetCharTable(table);
  HideCaret();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
  return true;
}

// F8: the encoding after the checked one, wrapping to the first. An item
// refused for display is passed over; a removed one gives its place to the
// next. "Windows" (0) always shows.
void MainWindow::SelectNextEncoding() {
  const int count = static_cast<int>(encodingActions_.size());
  int checked = -1;
  for (int i = 0; i < count; ++i)
    if (encodingActions_[i]->isChecked()) checked = i;
  for (int next = checked + 1;;) {
    const size_t items = encodingActions_.size();
    if (next >= static_cast<int>(items)) next = 0;
    if (SelectEncoding(next) || next == 0) break;
    if (encodingActions_.size() == items) ++next;
  }
}

int MainWindow::CheckedEncodingIndex() const {
  int index = 0;
  for (size_t i = 0; i < encodingActions_.size(); ++i)
    if (encodingActions_[i]->isChecked()) index = static_cast<int>(i);
  return index;
}

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
  auto* a = new QAction(name, menus_.encodings);
  a->setCheckable(true);
  menus_.encodings->insertAction(actions_.loadEncoding, a);
  encodingActions_.push_back(a);
  connect(a, &QAction::triggered, this, [this, a] {
    const auto it = std::find(encodingActions_.begin(), encodingActions_.end(), a);
    SelectEncoding(static_cast<int>(it - encodingActions_.begin()));
  });
  return true;
}

// Removes the loaded encoding at a menu position, keeping the remembered
// positions (current and pinned) on the same items.
void MainWindow::RemoveLoadedEncoding(int position) {
  if (position < 2 || position >= static_cast<int>(encodingActions_.size())) return;
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

// "Загрузить из файла...": an .enc file, a name for it, and it is chosen.
void MainWindow::LoadEncodingCommand() {
  BeforeModalDialog();
  const QString path = prompts_->OpenFileName(
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
    ShowNote("К сожалению, я не могу разобрать формат указанного файла кодировки.");
    return;
  }
  const QString name = prompts_
                           ->Text(this, "Ввод названия кодировки",
                                  "Как будет называться эта кодировка?", "новая кодировка")
                           .value_or("новая кодировка");
  AfterModalDialog();
  if (!AddLoadedEncoding(path, name)) return;
  for (size_t i = 2; i < encodingActions_.size(); ++i) {
    if (encodingActions_[i]->text() == name) {
      SelectEncoding(static_cast<int>(i));
      break;
    }
  }
}

}  // namespace prambus
