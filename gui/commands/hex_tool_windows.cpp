// The main window's side of the hex view: its clipboard and relayout hooks,
// and its two tool windows ("Расшифровка данных", "Число столбцов").
#include <QApplication>
#include <QClipboard>

#include "columns_dialog.h"
#include "data_window.h"
#include "main_window.h"
#include "qt_canvas.h"
#include "shell/typed_number.h"
#include "surface_widget.h"
#include "views/hex_view.h"
#include "window_stacking.h"

namespace prambus {

void MainWindow::CloseHexToolWindows() {
  if (dataWindow_) dataWindow_->hide();
  delete dataWindow_;
  dataWindow_ = nullptr;
  if (columnsDialog_) columnsDialog_->hide();
  delete columnsDialog_;
  columnsDialog_ = nullptr;
}

void MainWindow::AttachHexView() {
  auto* hex = dynamic_cast<HexView*>(view_.get());
  CloseHexToolWindows();
  if (!hex) return;
  hex->getClipboardText = [] { return ToCp1251(QApplication::clipboard()->text()); };
  hex->codeTextRefused = [this](int base) { ReportFailure(CodeTextRefusal(base)); };
  hex->setClipboardUnicodeText = [](const std::string& utf8) {
    QApplication::clipboard()->setText(QString::fromStdString(utf8));
  };
  hex->formResize = [this] {
    FormResize();
    ReportRefusedEdit();  // a code text pasted into a document too long for it, or too large
  };
  hex->showDataWindow = [this, hex](bool on) {
    if (on && !dataWindow_) {
      dataWindow_ = new DataWindow(this, hex);
      const Rect column = hex->CharacterColumn();
      dataWindow_->Place(QRect(central_->mapToGlobal(QPoint(column.left, column.top)),
                               QSize(column.right - column.left, column.bottom - column.top)));
      // Not over a minimized main window: it shows when the window is restored.
      if (!isMinimized()) dataWindow_->show();
      activateWindow();
    } else if (!on && dataWindow_) {
      dataWindow_->deleteLater();
      dataWindow_ = nullptr;
    }
  };
  hex->paintDataWindow = [this] {
    if (dataWindow_) dataWindow_->PaintDataWindow();
  };
  hex->showColumnsDialog = [this, hex] {
    if (!columnsDialog_) columnsDialog_ = new ColumnsDialog(this, hex);
    columnsDialog_->ShowAtPointer();
  };
}

void MainWindow::DetachHexView(ViewBase* view) {
  if (auto* hex = dynamic_cast<HexView*>(view)) {
    hex->showDataWindow = nullptr;
    hex->paintDataWindow = nullptr;
    hex->formResize = nullptr;
    hex->codeTextRefused = nullptr;
  }
}

void MainWindow::AfterDataEdit() {
  RefreshUndoRedo();
  FormResize();
}

// The data window belongs to the main window on screen: hidden while the
// main window is minimized, back when it is restored.
void MainWindow::FollowMinimized() {
  if (!dataWindow_) return;
  const bool shown = !isMinimized() && isVisible();
  // A window manager minimizes it along with its owner; shown again still
  // marked minimized, it would ask to start minimized and take the main
  // window down with it.
  if (shown) dataWindow_->setWindowState(dataWindow_->windowState() & ~Qt::WindowMinimized);
  dataWindow_->setVisible(shown);
  if (shown) RestateStaysOnTop(dataWindow_);
}

void MainWindow::DataWindowClosed() {
  dataWindow_ = nullptr;
  if (auto* hex = dynamic_cast<HexView*>(view_.get())) hex->DataWindowShown = false;
  if (!viewItems_.empty() && viewKind_ == 2) viewItems_[0]->setChecked(false);
}

}  // namespace prambus
