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
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {

// Installs the display table of the encoding item at a menu position: the two
// built-in tables, or a table loaded again from its .enc file. A loaded
// encoding whose file is gone or no longer parses is removed instead, and one
// refused for display is not installed; false in both cases, and the encoding
// shown stays as it was.
bool MainWindow::SelectEncoding(int position) {
  const int items = static_cast<int>(encodingActions_.size());
  if (position < 0 || position >= items) position = 0;
  CodeTable table = WindowsTable();
  if (position == 1) {
    table = DosTable();
  } else if (position >= 2) {
    const size_t k = static_cast<size_t>(position - 2);
    if (k >= state_.encodings.size() || !loadEncodingFile(state_.encodings[k].path, table)) {
      RemoveLoadedEncoding(position);
      return false;
    }
    if (!CanShowDocument(table)) {  // it would change bytes the user never touched
      ShowNote(
          "Эту кодировку можно выбрать только для перекодировки: в ней разные коды выглядят "
          "одинаково, и при сохранении файл изменился бы.");
      // A view just created shows the identity table, and the mark says so.
      if (view_ && view_->CharTable == WindowsTable()) doc_.encoding = 0;
      ShowEncodingChecks();
      return false;
    }
  }
  doc_.encoding = position;
  if (doc_.utf8) {  // a table chosen again: no longer UTF-8
    doc_.utf8 = false;
    if (auto* text = dynamic_cast<TextView*>(view_.get())) text->SetUtf8(false);
    if (auto* hex = dynamic_cast<HexView*>(view_.get())) hex->ShowUtf8 = false;
  }
  ShowEncodingChecks();
  InstallCharTable(table);
  return true;
}

void MainWindow::InstallCharTable(const CodeTable& table) {
  if (!view_) return;
  view_->SetCharTable(table);
  HideCaret();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

// Exactly one encoding item carries the mark: the one the view shows. A click
// flips its item's mark before the command runs, so every command ends here.
void MainWindow::ShowEncodingChecks() {
  for (size_t i = 0; i < encodingActions_.size(); ++i)
    encodingActions_[i]->setChecked(static_cast<int>(i) == doc_.encoding && !doc_.utf8);
  if (actions_.utf8) actions_.utf8->setChecked(doc_.utf8);
}

// F8: the encoding after the current one, wrapping to the first. An item
// refused for display is passed over; a removed one gives its place to the
// next. "Windows" (0) always shows.
void MainWindow::SelectNextEncoding() {
  for (int next = doc_.encoding + 1;;) {
    const size_t items = encodingActions_.size();
    if (next >= static_cast<int>(items)) next = 0;
    if (SelectEncoding(next) || next == 0) break;
    if (encodingActions_.size() == items) ++next;
  }
}

int MainWindow::CheckedEncodingIndex() const {
  return doc_.encoding;
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
  ConnectCommand(a, [this, a] {
    const auto it = std::find(encodingActions_.begin(), encodingActions_.end(), a);
    if (it != encodingActions_.end())
      SelectEncoding(static_cast<int>(it - encodingActions_.begin()));
  });
  return true;
}

// Removes the loaded encoding at a menu position, keeping the remembered
// positions (current and pinned) on the same items. When the view showed it,
// the view shows "Windows" from now on, as the menu and the status bar say.
void MainWindow::RemoveLoadedEncoding(int position) {
  if (position < 2 || position >= static_cast<int>(encodingActions_.size())) return;
  auto fix = [position](auto& index) {
    if (index == position)
      index = 0;
    else if (index > position)
      --index;
  };
  fix(state_.defaults.encodingIndex);
  for (WindowAppearance& w : state_.pinned) fix(w.encodingIndex);
  const bool wasShown = doc_.encoding == position;
  fix(doc_.encoding);
  // The item may be the one whose click runs this: it goes once the click is over.
  QAction* item = encodingActions_[position];
  menus_.encodings->removeAction(item);
  item->deleteLater();
  encodingActions_.erase(encodingActions_.begin() + position);
  state_.encodings.erase(state_.encodings.begin() + (position - 2));
  ShowEncodingChecks();
  if (wasShown) InstallCharTable(WindowsTable());
}

// The loaded encodings read from data.dat: each is added again (an unparsable
// one is dropped, one whose path is listed twice only renames the first), and
// the stored positions move with the items they named.
void MainWindow::RestoreLoadedEncodings() {
  const std::vector<LoadedEncoding> stored = std::move(state_.encodings);
  state_.encodings.clear();
  std::vector<uint8_t> moved(stored.size() + 2, 0);  // stored position -> position now
  moved[1] = 1;
  for (size_t i = 0; i < stored.size(); ++i) {
    const QString path = QString::fromStdString(stored[i].path);
    if (!AddLoadedEncoding(path, QString::fromStdString(stored[i].name))) continue;
    for (size_t k = 0; k < state_.encodings.size(); ++k)
      if (state_.encodings[k].path == stored[i].path && k + 2 <= 255)
        moved[i + 2] = static_cast<uint8_t>(k + 2);
  }
  auto move = [&moved](uint8_t& index) { index = index < moved.size() ? moved[index] : 0; };
  move(state_.defaults.encodingIndex);
  for (WindowAppearance& w : state_.pinned) move(w.encodingIndex);
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
