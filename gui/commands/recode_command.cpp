// "Перекодировка...": the recode dialog at the pointer, then the document
// (or its selection) converted from one encoding to another.
#include "encodings/code_tables.h"
#include "encodings/enc_file.h"
#include "main_window.h"
#include "platform/services.h"
#include "pointer_placement.h"
#include "recode_dialog.h"
#include "shell/file_messages.h"
#include "shell/recode_question.h"
#include "views/view_recode_losses.h"

namespace prambus {

// The table of a recode list's encoding. False (and the encoding removed)
// when a loaded encoding's file fails.
bool MainWindow::RecodeTable(const EncodingEntry& entry, bool target, CodeTable& table) {
  if (encodings_.Table(entry, target ? TableUse::kRecodeTarget : TableUse::kRecodeSource, table))
    return true;
  RemoveLoadedEncoding(entry.id);
  return false;
}

namespace {

QStringList Captions(const std::vector<const EncodingEntry*>& entries) {
  QStringList out;
  for (const EncodingEntry* e : entries) out << QString::fromStdString(e->caption);
  return out;
}

// The row of an encoding in a list; -1 when it is not there.
int RowOf(const std::vector<const EncodingEntry*>& entries, std::string_view id) {
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i]->id == id) return static_cast<int>(i);
  return -1;
}

}  // namespace

void MainWindow::RecodeCommand() {
  if (!EnsureWholeDocument() || !view_) return;
  RecodeDialog dialog(this);
  // The lists as they are now: a loaded encoding may go while the dialog is open.
  const EncodingCatalogue listed = encodings_;
  const std::vector<const EncodingEntry*> sources = listed.RecodeEntries(false);
  const std::vector<const EncodingEntry*> targets = listed.RecodeEntries(true);
  // From the document's encoding into Windows; from Windows into DOS.
  int source = RowOf(sources, doc_.encoding);
  int target = RowOf(targets, encoding_id::kWindows);
  if (source < 0 || doc_.encoding == encoding_id::kWindows) {
    source = RowOf(sources, encoding_id::kWindows);
    target = RowOf(targets, encoding_id::kDos);
  }
  dialog.Fill(Captions(sources), Captions(targets), source, target, ToQColor(canvas_.BrushColor()),
              ToQColor(canvas_.GetFont().color));
  PlaceAtMousePointer(&dialog);
  BeforeModalDialog();
  const int result = prompts_->Recode(dialog);
  AfterModalDialog();
  if (result != 1) return;
  CodeTable from, to;
  const int s = dialog.Source(), t = dialog.Target();
  if (s < 0 || t < 0 || static_cast<size_t>(s) >= sources.size() ||
      static_cast<size_t>(t) >= targets.size() || !RecodeTable(*sources[s], false, from) ||
      !RecodeTable(*targets[t], true, to)) {
    Beep();
    return;
  }
  // Nothing a recode would destroy goes without the user's word; "Отмена"
  // first, so Enter destroys nothing.
  const std::string loss = RecodeLossQuestion(RecodeLossesOf(*view_, from, to));
  if (!loss.empty() &&
      Ask(kRecodeLossCaption, QString::fromStdString(loss), {"Отмена", "Перекодировать"}) != 1001)
    return;
  HideCaret();
  if (!view_->Recode(from, to)) {
    ToggleCaret();
    if (view_->TakeMemoryShort()) return ReportFailure(kOutOfMemoryMessage);
    Beep();
    ShowNote(
        "Я не перекодировал документ: после перекодировки он стал бы длиннее "
        "2\u00A0147\u00A0483\u00A0647\u00A0байт.");
    return;
  }
  // A document whose bytes were in the encoding it is named or shown in as
  // characters (UTF-8, UTF-16, an escaped one) is named and shown in the
  // target from now on: its old name would be wrong about every byte, and
  // the next recode would start from it. A document shown through a table
  // stays shown through it.
  // A loaded table in which two codes look alike shows no document: Windows
  // shows such bytes as they are.
  const EncodingEntry& named = encodings_.FindOrWindows(doc_.encoding);
  if (sources[s]->id == doc_.encoding && (named.showsUtf8 || !named.showsDocument)) {
    const EncodingEntry& into = *targets[t];
    CodeTable shown;
    const bool showable = !into.Loaded() || (encodings_.Table(into, TableUse::kDisplay, shown) &&
                                             CanShowDocument(shown));
    SelectEncoding(showable ? into.id : std::string(encoding_id::kWindows));
  }
  RefreshUndoRedo();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

}  // namespace prambus
