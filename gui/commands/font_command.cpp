// "Шрифт...": the font of the document's surface.
#include "main_window.h"

namespace prambus {

void MainWindow::ChooseFont() {
  if (!view_) return;
  BeforeModalDialog();
  const std::optional<QFont> chosen = prompts_->Font(this, ToQFont(canvas_.GetFont()));
  AfterModalDialog();
  if (!chosen) return;
  Font f = canvas_.GetFont();
  f.name = chosen->family().toStdString();
  f.height = -(chosen->pixelSize() > 0 ? chosen->pixelSize() : chosen->pointSize() * 4 / 3);
  f.style = (chosen->bold() ? kStyleBold : 0) | (chosen->italic() ? kStyleItalic : 0) |
            (chosen->underline() ? kStyleUnderline : 0) |
            (chosen->strikeOut() ? kStyleStrikeOut : 0);
  desiredColumn_ = -1;
  HideCaret();
  view_->SetFont(f);
  RecomputeScrollRanges();
  SyncAfterMove();
  StoreSettingsChange();
}

}  // namespace prambus
