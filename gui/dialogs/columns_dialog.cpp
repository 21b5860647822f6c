#include "columns_dialog.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include "dialog_font.h"
#include "screen_area.h"
#include "settings/settings.h"
#include "shell/screen_placement.h"
#include "views/hex_view.h"

namespace prambus {

ColumnsDialog::ColumnsDialog(QWidget* parent, HexView* view) : QDialog(parent), view_(view) {
  setWindowTitle("Число столбцов");
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFont(DialogFont());
  const QFontMetrics fm(font());
  const int editH = fm.height() + 2;
  // Wide enough for its text, and for its caption beside the title bar's
  // buttons (the desktop draws the caption in a bold face of its own font).
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  const int captionW = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 130;
  const int clientW = std::max(fm.horizontalAdvance("Число столбцов в редакторе") + 20, captionW);
  edit = new EntryField(this);
  edit->setFrame(false);
  edit->setMaxLength(3);
  // The window sees keys before the field: "+" and "-" change the number
  // and never end up in it.
  edit->installEventFilter(this);
  const int side = editH + 4;
  const int groupW = side + 4 + 30 + 4 + side;
  const int top = 2 * fm.height() + 6;
  int x = (clientW - groupW) / 2;
  auto* minus = new QPushButton("-", this);
  minus->setGeometry(x, top - 2, side, side);
  edit->setGeometry(x + side + 4, top, 30, editH);
  auto* plus = new QPushButton("+", this);
  plus->setGeometry(x + side + 38, top - 2, side, side);
  auto* done = new QPushButton("Готово", this);
  const int doneW = fm.horizontalAdvance("Готово") + 50;
  done->setGeometry((clientW - doneW) / 2, top + editH + 13, doneW, editH + 8);
  setFixedSize(clientW, done->geometry().bottom() + 9);
  QFont bold = font();
  bold.setBold(true);
  for (QPushButton* b : {minus, plus}) b->setFont(bold);
  // Enter is the window's own key (apply the typed number), whichever
  // button has the focus.
  for (QPushButton* b : {minus, plus, done}) b->setAutoDefault(false);
  connect(minus, &QPushButton::clicked, this, [this] { Apply(Cfg().HexColumns - 1); });
  connect(plus, &QPushButton::clicked, this, [this] { Apply(Cfg().HexColumns + 1); });
  connect(done, &QPushButton::clicked, this, [this] {
    ApplyTyped();
    hide();
  });
  edit->onKey = [this](int key) {
    if (key == 13)
      ApplyTyped();
    else
      hide();
  };
}

void ColumnsDialog::Apply(int n) {
  view_->SetColumns(n);
  edit->setText(QString::number(Cfg().HexColumns));
}

// The typed number; a field that holds no number keeps the columns as they
// are and shows their number again.
void ColumnsDialog::ApplyTyped() {
  bool ok = false;
  const int n = edit->text().trimmed().toInt(&ok);
  Apply(ok ? n : Cfg().HexColumns);
}

bool ColumnsDialog::PlusOrMinus(const QKeyEvent* e) {
  const QString t = e->text();
  if (e->key() == Qt::Key_Plus || t == "+") {
    Apply(Cfg().HexColumns + 1);
    return true;
  }
  if (e->key() == Qt::Key_Minus || t == "-" || t == QString(QChar(0x2212))) {
    Apply(Cfg().HexColumns - 1);
    return true;
  }
  return false;
}

bool ColumnsDialog::eventFilter(QObject* watched, QEvent* e) {
  if (watched == edit && e->type() == QEvent::KeyPress && PlusOrMinus(static_cast<QKeyEvent*>(e)))
    return true;
  return QDialog::eventFilter(watched, e);
}

void ColumnsDialog::ShowAtPointer() {
  edit->setText(QString::number(Cfg().HexColumns));
  const QPoint pointer = QCursor::pos();
  const QSize size = FrameSizeOf(this);
  move(ToQPoint(BelowPointer(ToPoint(pointer), size.width(), size.height(),
                             AvailableAreaAt(pointer, parentWidget()))));
  show();
  activateWindow();
}

void ColumnsDialog::paintEvent(QPaintEvent* e) {
  QDialog::paintEvent(e);
  QPainter p(this);
  const QFontMetrics fm(font());
  p.drawText(10, 4 + fm.ascent(), "Число столбцов в редакторе");
  p.drawText(10, 4 + fm.height() + fm.ascent(), "будет равно...");
}

void ColumnsDialog::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Escape:
      hide();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ApplyTyped();
      return;
    default:
      if (!PlusOrMinus(e)) QDialog::keyPressEvent(e);
  }
}

void ColumnsDialog::changeEvent(QEvent* e) {
  QDialog::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) hide();
}

}  // namespace prambus
