// "Перейти..." (Ctrl+G): the dialog asks for a line of the text view or an
// offset of the hex view, then the cursor jumps there. Like every menu
// command it waits for a running load first, so a line or offset near the
// end is there to go to.
#include "go_to_dialog.h"
#include "main_window.h"
#include "pointer_placement.h"
#include "screen_area.h"
#include "settings/settings.h"
#include "shell/screen_placement.h"
#include "shell/typed_number.h"
#include "views/hex_codes.h"
#include "views/view_factory.h"

namespace prambus {

void MainWindow::GoToCommand(bool byShortcut) {
  if (!EnsureWholeDocument() || !view_) return;
  const bool hex = viewKind_ == kHexView;
  const GoToUnit unit = hex ? GoToUnit::kOffset : GoToUnit::kLine;
  // Offsets are typed as the coordinate column writes them.
  const int base = std::clamp(Cfg().CoordBaseSyst, 2, 36);
  QString heading, current;
  if (hex) {
    const int64_t here = view_->PosToOffset(view_->CursorColumn(), view_->CursorRow());
    heading = QString("Смещение в байтах, в %1 (от 0 до %2):")
                  .arg(QString::fromStdString(BaseNotationName(base)),
                       QString::fromStdString(DigitsOf(view_->GetTextLength(), base)));
    current = QString::fromStdString(DigitsOf(here, base));
  } else {
    heading = QString("Номер строки в файле (от 1 до %1):")
                  .arg(QString::fromStdString(GroupedDecimal(HardLineCount(*view_))));
    current = QString::number(HardLineOfRow(*view_, view_->CursorRow()) + 1);
  }
  GoToDialog dialog(this, unit, base, heading, current);
  if (byShortcut) {
    const QSize size = FrameSizeOf(&dialog);
    const QPoint centre = CentreOf(this);
    dialog.move(ToQPoint(
        CentredOn(ToPoint(centre), size.width(), size.height(), AvailableAreaAt(centre, this))));
  } else {
    PlaceAtMousePointer(&dialog);
  }
  BeforeModalDialog();
  const int result = prompts_->GoTo(dialog);
  AfterModalDialog();
  if (result != QDialog::Accepted || !view_) return;
  HideCaret();
  desiredColumn_ = -1;
  ApplyGoTo(*view_, unit, dialog.Request(), dialog.Extend());
  SyncAfterMove();
}

}  // namespace prambus
