// "Кодировка": the display table of the document (a built-in table or one
// loaded from an .enc file), F8 stepping through them, and the loaded
// encodings kept in the catalogue.
#include <QCoreApplication>

#include "encodings/code_tables.h"
#include "encodings/enc_file.h"
#include "encodings/stored_encoding.h"
#include "io/io_error.h"
#include "io/posix_file.h"
#include "main_window.h"
#include "platform/services.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {

// Shows the document in an encoding of the catalogue: through a display
// table, or (UTF-8) as characters. An encoding that cannot show a document
// (UTF-16) is named as the document's and shown through "Windows"; an
// identifier the catalogue lacks reads as "Windows". A loaded encoding whose
// file is gone or no longer parses is removed instead, and one refused for
// display is not installed; false in both cases, and the encoding shown
// stays as it was.
bool MainWindow::SelectEncoding(std::string_view id) {
  const EncodingEntry& entry = encodings_.FindOrWindows(id);
  CodeTable table = WindowsTable();
  if (entry.showsDocument && !encodings_.Table(entry, TableUse::kDisplay, table)) {
    RemoveLoadedEncoding(std::string(entry.id));  // a copy: the entry goes
    return false;
  }
  if (entry.Loaded() && !CanShowDocument(table)) {  // it would change bytes the user never touched
    ShowNote(
        "Эту кодировку можно выбрать только для перекодировки: в ней разные коды выглядят "
        "одинаково, и при сохранении файл изменился бы.");
    // A view just created shows the identity table, and the mark says so.
    if (view_ && view_->CharTable() == WindowsTable() && !ViewShowsUtf8())
      doc_.encoding = std::string(encoding_id::kWindows);
    ShowEncodingChecks();
    return false;
  }
  doc_.encoding = entry.id;
  ShowEncodingChecks();
  InstallCharTable(table, entry.showsUtf8);
  return true;
}

bool MainWindow::ShowsUtf8() const {
  return encodings_.FindOrWindows(doc_.encoding).showsUtf8;
}

bool MainWindow::ViewShowsUtf8() const {
  if (const auto* text = dynamic_cast<const TextView*>(view_.get())) return text->Utf8();
  if (const auto* hex = dynamic_cast<const HexView*>(view_.get())) return hex->ShowUtf8;
  return false;
}

// The text view lays the document out once, as characters or as bytes
// through the table; the hex view's character column reads the same way.
void MainWindow::InstallCharTable(const CodeTable& table, bool utf8) {
  if (!view_) return;
  if (auto* text = dynamic_cast<TextView*>(view_.get())) {
    text->SetDisplay(table, utf8);
  } else {
    if (auto* hex = dynamic_cast<HexView*>(view_.get())) hex->ShowUtf8 = utf8;
    view_->SetCharTable(table);
  }
  HideCaret();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

// F8: the menu's next encoding, wrapping to the first. One refused for
// display is passed over; a removed one gives its place to the next.
// "Windows" always shows.
void MainWindow::SelectNextEncoding() {
  std::string from = doc_.encoding;
  for (;;) {
    const std::string next = encodings_.NextInMenu(from).id;
    if (SelectEncoding(next) || next == encoding_id::kWindows) break;
    // Passed over: step on from it, or from where it stood when it went.
    if (encodings_.Find(next)) from = next;
  }
}

// Adds a loaded encoding (or renames it when its path is already listed);
// false when its file cannot be parsed.
bool MainWindow::AddLoadedEncoding(const QString& path, const QString& name) {
  const std::string p = path.toStdString();
  if (!encodings_.Find(LoadedEncodingId(p))) {
    CodeTable table;
    if (!loadEncodingFile(p, table)) return false;
  }
  encodings_.AddLoaded(p, name.toStdString());
  RebuildEncodingMenu();
  return true;
}

// Removes a loaded encoding. When the document was shown in it, it is
// shown in "Windows" from now on, as the menu and the status bar say.
// Records that name it keep the name: they read as "Windows" while the
// catalogue lacks it, and as it again once its file is loaded anew.
void MainWindow::RemoveLoadedEncoding(std::string_view id) {
  if (!encodings_.RemoveLoaded(id)) return;
  const bool wasShown = doc_.encoding == id;
  if (wasShown) doc_.encoding = std::string(encoding_id::kWindows);
  RebuildEncodingMenu();
  if (wasShown) InstallCharTable(WindowsTable(), false);
}

// The loaded encodings read from data.dat: each is added again (an
// unparsable one is dropped, one whose path is listed twice only renames the
// first). The stored records then name their encodings by identifier: a
// menu position of an older file counts in the list as it was stored.
void MainWindow::RestoreLoadedEncodings() {
  const std::vector<LoadedEncoding> stored = std::move(state_.encodings);
  for (const LoadedEncoding& e : stored) {
    CodeTable table;
    if (loadEncodingFile(e.path, table)) encodings_.AddLoaded(e.path, e.name);
  }
  state_.encodings = encodings_.LoadedList();
  auto resolve = [&](WindowAppearance& w) {
    w.encodingId = StoredEncodingId(encodings_, w.encodingId, w.encodingIndex, stored);
  };
  resolve(state_.defaults);
  for (WindowAppearance& w : state_.pinned) resolve(w);
  RebuildEncodingMenu();
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
    ReportCannotOpen(path.toStdString(), e);
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
  SelectEncoding(LoadedEncodingId(path.toStdString()));
  StoreSettingsChange();  // the list of loaded encodings is kept by a killed program too
}

}  // namespace prambus
