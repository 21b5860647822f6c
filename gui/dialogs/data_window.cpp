#include "data_window.h"

#include <QCloseEvent>
#include <QLocale>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include "dialog_font.h"
#include "main_window.h"
#include "platform/services.h"
#include "qt_canvas.h"
#include "screen_area.h"
#include "settings/settings.h"
#include "shell/data_info.h"
#include "shell/screen_placement.h"
#include "views/hex_view.h"

namespace prambus {

DataWindow::DataWindow(MainWindow* main, HexView* view) : QWidget(main), main_(main), view_(view) {
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);  // each opening makes a new window
  setWindowTitle("Расшифровка данных");
  setFont(DialogFont());
  decimalPoint_ = QLocale().decimalPoint().at(0).toLatin1();
  if (decimalPoint_ != ',') decimalPoint_ = '.';
  BuildEdits();
}

void DataWindow::Place(const QRect& keepClear) {
  const QSize size = FrameSizeOf(this);
  const Point saved{Cfg().DataWindowLeft, Cfg().DataWindowTop};
  const Rect area = AvailableAreaAt(CentreOf(main_), main_);
  move(ToQPoint(BesideRect(saved, size.width(), size.height(), ToRect(keepClear), area)));
}

DataWindow::~DataWindow() = default;

void DataWindow::BuildEdits() {
  std::vector<int> tags;
  for (int tag = 0; tag <= 8; ++tag)
    if (tag == 0 || Cfg().CodeInfo[tag - 1]) tags.push_back(tag);
  if (!edits_.empty() && tags == tags_) {  // the same rows: the fields stay as they are
    PaintDataWindow();
    return;
  }
  const QFontMetrics fm(font());
  labelX_ = fm.horizontalAdvance("Номер байта ...") + 5;
  int y = 5;
  for (EntryField* e : edits_) delete e;
  edits_.clear();
  tags_.clear();
  for (int tag : tags) {
    auto* e = new EntryField(this);
    e->setFrame(false);
    e->setFont(font());
    e->setGeometry(labelX_, y, 22 * fm.horizontalAdvance("0"), fm.height() + 4);
    const int index = static_cast<int>(edits_.size());
    e->onKey = [this, index](int key) {
      if (key == 13) DataEditEnter(index);
    };
    // Children made after the window was shown stay hidden until told.
    e->show();
    edits_.push_back(e);
    tags_.push_back(tag);
    y += e->height() + 1;
  }
  const int lastWidth = edits_.empty() ? 0 : edits_.back()->width();
  setFixedSize(labelX_ + lastWidth + 5, y + 5);
  PaintDataWindow();
}

void DataWindow::PaintDataWindow() {
  for (size_t i = 0; i < edits_.size(); ++i) {
    const std::string value =
        DataValueText(tags_[i], view_->Data(), view_->CursorOffset(), decimalPoint_);
    edits_[i]->setText(QString::fromStdString(value));
  }
  update();
}

void DataWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  p.setPen(ToQColor(Cfg().TextColor));
  const QFontMetrics fm(font());
  for (size_t i = 0; i < edits_.size(); ++i)
    p.drawText(5, edits_[i]->y() + 2 + fm.ascent(), QString::fromUtf8(kDataLabels[tags_[i]]));
}

void DataWindow::DataEditEnter(int index) {
  const int tag = tags_[static_cast<size_t>(index)];
  std::string text = edits_[static_cast<size_t>(index)]->text().trimmed().toStdString();
  if (main_->Loading()) {
    // The value may reach past the part loaded so far: the load ends first,
    // outside this field's own signal (a load that fails closes this window).
    // The entry is taken now, for the byte the cursor is on now (the
    // remembered cursor may still move it as the rest arrives); it is
    // dropped if the document changed meanwhile.
    QTimer::singleShot(0, main_,
                       [main = main_, self = QPointer<DataWindow>(this), tag,
                        text = std::move(text), at = view_->CursorOffset(), mark = view_->Mark()] {
                         if (!main->EnsureWholeDocument() || !self) return;
                         if (!self->view_->IsAt(mark)) {
                           Beep();
                           return;
                         }
                         if (self->view_->CursorOffset() != at) self->view_->MoveCursorToByte(at);
                         self->ApplyEntry(tag, text);
                       });
    return;
  }
  ApplyEntry(tag, text);
}

void DataWindow::ApplyEntry(int tag, const std::string& text) {
  if (tag == 0) {
    int64_t offset = 0;
    const auto length = static_cast<int64_t>(view_->Data().size());
    if (ParseByteNumber(text, length, offset)) {
      view_->MoveCursorToByte(static_cast<int>(offset));
      main_->FormResize();
    } else {
      main_->ReportFailure(ByteNumberRefusal(text, length));
    }
  } else {
    std::string bytes;
    if (ParseDataValue(tag, text, bytes)) {
      view_->WriteAtCursor(bytes);
      main_->AfterDataEdit();
    } else {
      main_->ReportFailure(DataValueRefusal(tag, text));
    }
  }
  PaintDataWindow();
}

void DataWindow::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && !isActiveWindow()) {
    Cfg().DataWindowLeft = x();
    Cfg().DataWindowTop = y();
  }
}

void DataWindow::closeEvent(QCloseEvent* e) {
  e->accept();
  main_->DataWindowClosed();
}

}  // namespace prambus
