// "Просмотрщик" and F6: the document moves into a view of the other kind,
// keeping every byte, the cursor's offset and the encoding.
#include "main_window.h"
#include "settings/settings.h"
#include "views/hex_view.h"
#include "views/view_factory.h"

namespace prambus {

void MainWindow::SwitchView(int tableIndex) {
  const int kind = Cfg().ViewKindTable[tableIndex];
  CaptureWindowState();
  for (int i = 0; i < 2; ++i) actions_.viewKinds[i]->setChecked(i == tableIndex);
  if (!view_ || !HasViewKind(kind)) return;
  const int offset = view_->PosToOffset(view_->CursorCol, view_->CursorRow);
  std::unique_ptr<ViewBase> old = std::move(view_);
  CreateView(kind);
  ApplyChecks(state_.kindChecks[tableIndex]);
  HideCaret();
  lastClientWidth_ = -1;
  FormResize();
  view_->ExpectLength(old->GetTextLength());
  old->CopyContentTo(*view_);
  if (auto* oldHex = dynamic_cast<HexView*>(old.get())) {  // its windows went with CreateView
    oldHex->showDataWindow = nullptr;
    oldHex->paintDataWindow = nullptr;
    oldHex->formResize = nullptr;
  }
  old.reset();
  SelectEncoding(currentEncoding_);  // the new view gets the table the old one showed
  int col = offset, row = 0;
  view_->OffsetToPos(col, row);
  view_->SetPosition(col, row, true);
  view_->SetPosition(col, row, false);
  RecomputeScrollRanges();
  SyncScrollBars();
  Redraw();
  ToggleCaret();
}

}  // namespace prambus
