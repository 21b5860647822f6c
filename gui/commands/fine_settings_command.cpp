// The main window's "Тонкая настройка..." command and what a stored change
// of the settings asks of the window: the recent list's length, the minimal
// mode's key, the hex view's lines and data window, and a new layout.
#include "data_window.h"
#include "fine_settings_dialog.h"
#include "main_window.h"
#include "pointer_placement.h"
#include "views/hex_view.h"

namespace prambus {

void MainWindow::FineSettingsCommand() {
  if (!fineSettings_) {
    fineSettings_ = new FineSettingsDialog(this);
    fineSettings_->chooseColor = [this](const QColor& initial) {
      return prompts_->Colour(fineSettings_, initial);
    };
    fineSettings_->chooseFont = [this](const QFont& initial) {
      return prompts_->Font(fineSettings_, initial);
    };
    fineSettings_->onStored = [this](const Settings& before) { ApplyFineSettings(before); };
    fineSettings_->onHidden = [this](bool giveFocusBack) {
      if (!isVisible()) return;  // the window is closing
      AfterModalDialog();
      if (giveFocusBack) activateWindow();
    };
  }
  // The window stays out of the topmost band while the table is shown.
  BeforeModalDialog();
  fineSettings_->ShowPlaced(ChosenAtPointer(actions_.fineSettings));
}

void MainWindow::ApplyMinimalModeShortcut() {
  actions_.minimalMode->setShortcut(QKeySequence(Cfg().SaveOnF2 ? "F12" : "F2"));
}

void MainWindow::ApplyFineSettings(const Settings& before) {
  const FineSettingsEffects effects = EffectsOfChange(before, Cfg());
  state_.recent.resize(static_cast<size_t>(Cfg().MaxRecentListLen));
  ApplyMinimalModeShortcut();
  StoreSettingsChange();
  if (auto* hex = dynamic_cast<HexView*>(view_.get())) {
    hex->UpdateLineWidths();
    if (effects.relayout) hex->Relayout();  // digit widths of other bases
    if (dataWindow_) dataWindow_->BuildEdits();
  }
  if (!effects.relayout || !view_) return;
  lastClientWidth_ = -1;  // the view takes its width again, as on a resize
  FormResize();
  HideCaret();
  view_->UpdateCaretPoint();
  FullRefresh();
}

}  // namespace prambus
