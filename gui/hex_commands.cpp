// The main window's side of the hex view: clipboard, relayout and its two
// tool windows.
#include <QApplication>
#include <QClipboard>

#include "hex_windows.h"
#include "qt_canvas.h"
#include "txtobrabotka.h"
#include "views/viewhex.h"

namespace prambus {

void Tform1::CloseHexToolWindows() {
  if (dataWindow_) dataWindow_->hide();
  delete dataWindow_;
  dataWindow_ = nullptr;
  if (columnsForm_) columnsForm_->hide();
  delete columnsForm_;
  columnsForm_ = nullptr;
}

void Tform1::AttachHexView() {
  auto* hex = dynamic_cast<vwhex*>(view_.get());
  CloseHexToolWindows();
  if (!hex) return;
  hex->getClipboardText = [] { return ToCp1251(QApplication::clipboard()->text()); };
  hex->setClipboardUnicodeText = [](const std::string& utf8) {
    QApplication::clipboard()->setText(QString::fromStdString(utf8));
  };
  hex->formResize = [this] { FormResize(); };
  hex->showDataWindow = [this, hex](bool on) {
    if (on && !dataWindow_) {
      dataWindow_ = new thmyform(this, hex);
      dataWindow_->show();
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
    if (!columnsForm_) columnsForm_ = new ColumnsForm(this, hex);
    columnsForm_->ShowAtPointer();
  };
}

void Tform1::AfterDataEdit() {
  SetModified(true);
  RefreshUndoRedo();
  FormResize();
}

void Tform1::DataWindowClosed() {
  dataWindow_ = nullptr;
  if (auto* hex = dynamic_cast<vwhex*>(view_.get())) hex->DataWindowShown = false;
  if (!viewItems_.empty() && viewKind_ == 2) viewItems_[0]->setChecked(false);
}

}  // namespace prambus
