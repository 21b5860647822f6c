// "Перекодировка...": the recode dialog at the pointer, then the document
// (or its selection) converted from one encoding to another.
#include "encodings/code_tables.h"
#include "encodings/enc_file.h"
#include "main_window.h"
#include "platform/services.h"
#include "pointer_placement.h"
#include "recode_dialog.h"
#include "shell/recode_question.h"
#include "views/view_recode_losses.h"

namespace prambus {

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
  if (!EnsureWholeDocument() || !view_) return;
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
  PlaceAtMousePointer(&dialog);
  BeforeModalDialog();
  const int result = prompts_->Recode(dialog);
  AfterModalDialog();
  if (result != 1) return;
  CodeTable from, to;
  const int s = dialog.Source(), t = dialog.Target();
  if (!RecodeTable(s, false, from) || !RecodeTable(t, true, to)) {
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
    Beep();
    ShowNote(
        "Я не перекодировал документ: после перекодировки он стал бы длиннее 2 147 483 647 байт.");
    return;
  }
  RefreshUndoRedo();
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

}  // namespace prambus
