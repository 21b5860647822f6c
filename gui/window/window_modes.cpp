// The window modes: the status bar, minimal mode ("Всё лишнее убрано", F2 or
// F12) and stay-on-top ("Поверх других окон", F4).
#include <QMenuBar>
#include <QStatusBar>

#include "main_window.h"
#include "settings/settings.h"

namespace prambus {

void MainWindow::ToggleStatusBar() {
  const bool on = !actions_.statusBar->isChecked();
  actions_.statusBar->setChecked(on);
  statusBar()->setVisible(on && !actions_.minimalMode->isChecked());
  FormResize();
}

void MainWindow::ToggleMinimalMode(bool withWarning) {
  const bool on = !actions_.minimalMode->isChecked();
  if (on && withWarning && Cfg().MinimalModeWarning) {
    const QString key = actions_.minimalMode->shortcut().toString();
    const int answer =
        Ask("ПРЕДУПРЕЖДЕНИЕ",
            "Выйти из режима \"всё лишнее убрано\" можно:\n\r  1) С помощью клавиши " + key +
                ";\n\r  2) Нажав правую кнопку мыши и выбрав соответствующий пункт меню.",
            {"Продолжить", "Не показывать в будущем"});
    if (answer == 1001) {
      Cfg().MinimalModeWarning = false;
      StoreSettingsChange();
    }
  }
  actions_.minimalMode->setChecked(on);
  ApplyMinimalMode(on);
  activateWindow();
}

// Minimal mode's frame: the nearest equivalent of a frame without caption is
// a frameless window; no menu and no status bar. The window stays where it
// was: without the frame its surface takes the frame's outer corner, and with
// the frame back the surface returns inside it by the frame's own offset.
// Positions are given for the surface, never the frame: a window manager
// told a frame position keeps treating later surface positions as frame
// positions, and the window would creep by the title bar's height.
void MainWindow::ApplyMinimalMode(bool on) {
  const bool visible = isVisible();
  const QRect surface = geometry();
  QPoint corner = surface.topLeft();
  if (on) {
    if (visible) frameOffset_ = surface.topLeft() - frameGeometry().topLeft();
    corner -= frameOffset_;
  } else {
    corner += frameOffset_;
  }
  setWindowFlag(Qt::FramelessWindowHint, on);
  if (visible) {
    setGeometry(QRect(corner, surface.size()));
    show();
  }
  menuBar()->setVisible(!on);
  statusBar()->setVisible(!on && actions_.statusBar->isChecked());
  FormResize();
}

void MainWindow::ToggleStayOnTop() {
  const bool on = !actions_.stayOnTop->isChecked();
  actions_.stayOnTop->setChecked(on);
  ApplyStayOnTop(on);
}

void MainWindow::ApplyStayOnTop(bool on) {
  SetStaysOnTopInPlace(on);
  show();
}

// The toolkit puts a window whose flags changed back by its frame's corner,
// and the native window made for it then asks the desktop to place frames:
// any later surface position given before the desktop has told the frame's
// size would land a title bar's height lower. Giving the surface's place
// before the window is shown again keeps every position a surface position.
void MainWindow::SetStaysOnTopInPlace(bool on) {
  const QRect g = geometry();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  setGeometry(g);
}

// At start-up the stored modes take effect, not only their check marks.
void MainWindow::ApplyStartModes() {
  if (actions_.minimalMode->isChecked()) ApplyMinimalMode(true);
  if (actions_.stayOnTop->isChecked()) ApplyStayOnTop(true);
}

}  // namespace prambus
