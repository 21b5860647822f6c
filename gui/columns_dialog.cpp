#include "columns_dialog.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "dialog_font.h"
#include "settings/settings.h"
#include "views/hex_view.h"

namespace prambus {

ColumnsDialog::ColumnsDialog(QWidget* parent, HexView* view) : QDialog(parent), view_(view) {
  setWindowTitle("Число столбцов");
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(DialogFont());
  const QFontMetrics fm(font());
  const int editH = fm.height() + 2;
  const int clientW = fm.horizontalAdvance("Число столбцов в редакторе") + 20;
  edit = new EntryField(this);
  edit->setFrame(false);
  edit->setMaxLength(3);
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
  connect(minus, &QPushButton::clicked, this, [this] { Apply(Cfg().HexColumns - 1); });
  connect(plus, &QPushButton::clicked, this, [this] { Apply(Cfg().HexColumns + 1); });
  connect(done, &QPushButton::clicked, this, [this] {
    Apply(edit->text().toInt());
    hide();
  });
  edit->onKey = [this](int key) {
    if (key == 13)
      Apply(edit->text().toInt());
    else
      hide();
  };
}

void ColumnsDialog::Apply(int n) {
  view_->SetColumns(n);
  edit->setText(QString::number(Cfg().HexColumns));
}

void ColumnsDialog::ShowAtPointer() {
  edit->setText(QString::number(Cfg().HexColumns));
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QPoint p = QCursor::pos();
  int left = std::clamp(p.x() - width() / 2, 0, std::max(0, area.right() - width()));
  int top = p.y();
  if (top + height() > area.bottom()) top = p.y() - height();
  move(left, top);
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
    case Qt::Key_Plus:
      Apply(Cfg().HexColumns + 1);
      return;
    case Qt::Key_Minus:
      Apply(Cfg().HexColumns - 1);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Apply(edit->text().toInt());
      return;
    default:
      QDialog::keyPressEvent(e);
  }
}

void ColumnsDialog::changeEvent(QEvent* e) {
  QDialog::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) hide();
}

}  // namespace prambus
