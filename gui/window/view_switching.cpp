// "Просмотрщик" and F6: the document moves into a view of the other kind,
// keeping every byte, the cursor's offset and the encoding.
#include <QTimer>

#include "io/memory_room.h"
#include "main_window.h"
#include "previous_document.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "views/hex_view.h"
#include "views/text_view.h"
#include "views/view_factory.h"

namespace prambus {

namespace {
// A hex document at least this long goes to the text view in steps: laying
// out bytes that are not text takes about a second for 100 MB.
constexpr int kSteppedSwitchBytes = 4 << 20;
}  // namespace

void MainWindow::SwitchView(int tableIndex) {
  if (!EnsureWholeDocument()) return;
  const int kind = Cfg().ViewKindTable[tableIndex];
  // The new view takes a copy of the whole document (and a tenth more for
  // its rows or room to grow) before the old one goes.
  if (view_ && !MemoryRoomFor(static_cast<size_t>(view_->GetTextLength() / 10 * 11))) {
    for (int i = 0; i < 2; ++i)
      actions_.viewKinds[i]->setChecked(Cfg().ViewKindTable[i] == viewKind_);
    ReportFailure(kOutOfMemoryMessage);
    return;
  }
  CaptureWindowState();
  for (int i = 0; i < 2; ++i) actions_.viewKinds[i]->setChecked(i == tableIndex);
  if (!view_ || !HasViewKind(kind)) return;
  const int offset = view_->PosToOffset(view_->CursorColumn(), view_->CursorRow());
  if (kind == kTextView && dynamic_cast<HexView*>(view_.get()) &&
      view_->GetTextLength() >= kSteppedSwitchBytes)
    return SwitchToTextInSteps(tableIndex, kind, offset);
  // The new view takes the old one's place in the document, which goes on
  // with its revision; the old view goes once its bytes are copied.
  if (kind != viewKind_) FreeViewItems();
  CloseHexToolWindows();
  std::unique_ptr<ViewBase> old = doc_.SwitchView(MakeView(kind, &canvas_));
  DetachHexView(old.get());  // its windows went with CloseHexToolWindows
  SeatView(kind);
  ApplyChecks(state_.kindChecks[tableIndex]);
  HideCaret();
  lastClientWidth_ = -1;
  FormResize();
  view_->ExpectLength(old->GetTextLength());
  // The new view gets the table the old one showed; as UTF-8 before the
  // bytes come, so that the text view lays them out once.
  const bool utf8 = ShowsUtf8();
  if (utf8) SelectEncoding(doc_.encoding);
  old->CopyContentTo(*view_);
  doc_.TookOver(*old);
  old.reset();
  if (!utf8) SelectEncoding(doc_.encoding);
  int col = offset, row = 0;
  view_->OffsetToPos(col, row);
  view_->SetPosition(col, row, true);
  view_->SetPosition(col, row, false);
  RefreshUndoRedo();  // the history stayed with the old view
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

// The hex view is set aside as it is, with its bytes the source of the load:
// the first screen shows at once, the rest follows from the event loop, and
// Escape gives the hex view back. Once the steps end the text view holds what
// a switch in one go gives, and the hex view goes.
void MainWindow::SwitchToTextInSteps(int tableIndex, int kind, int offset) {
  // The same document in the new view, sharing its revision.
  previous_ = SetDocumentAside(doc_.Twin(MakeView(kind, &canvas_)));
  const auto& source = static_cast<const HexView&>(*previous_->document.View()).Data();
  loadClock_.start();
  loadIsSwitch_ = true;
  pendingCursor_ = false;
  pendingOffset_ = offset;
  if (kind != viewKind_) FreeViewItems();
  SeatView(kind);
  ApplyChecks(state_.kindChecks[tableIndex]);
  lastClientWidth_ = -1;
  FormResize();
  SelectEncoding(doc_.encoding);  // the bytes go through the table the hex view showed
  RefreshUndoRedo();
  doc_.load = static_cast<TextView&>(*view_).BeginCopy(source.Front(), source.Back());
  if (!LoadUntil([this] { return FirstScreenLoaded(); })) return;
  if (doc_.load->Finished()) {
    EndLoading();
    return;
  }
  ContinueLoadingInSteps();
  Redraw();
  ToggleCaret();
}

}  // namespace prambus
