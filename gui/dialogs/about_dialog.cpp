#include "about_dialog.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QPainter>

#include "shell/flood_fill.h"

namespace prambus {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, QColor(0, 0, 0xFF));
  setPalette(pal);
}

void LinkLabel::SetUnderline(bool on) {
  QFont f = font();
  f.setUnderline(on);
  setFont(f);
}

void LinkLabel::enterEvent(QEnterEvent* e) {
  SetUnderline(true);
  QLabel::enterEvent(e);
}

void LinkLabel::leaveEvent(QEvent* e) {
  SetUnderline(false);
  QLabel::leaveEvent(e);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* e) {
  QLabel::mouseReleaseEvent(e);
  if (rect().contains(e->position().toPoint())) emit clicked();
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("О программе");
  left_ = QImage(":/art/about-left.png").convertToFormat(QImage::Format_RGB32);
  right_ = QImage(":/art/about-right.png").convertToFormat(QImage::Format_RGB32);

  auto* name = new QLabel("ПРАМБУС  1.11", this);
  QFont nameFont("Times New Roman");
  nameFont.setStyleHint(QFont::Serif);
  nameFont.setPixelSize(27);
  name->setFont(nameFont);
  QPalette maroon = name->palette();
  maroon.setColor(QPalette::WindowText, QColor(0x80, 0, 0));
  name->setPalette(maroon);
  QPalette blue = palette();
  blue.setColor(QPalette::WindowText, QColor(0, 0, 0xFF));
  auto* line1 = new QLabel("Шестнадцатеричный и ", this);
  auto* line2 = new QLabel("текстовый редактор", this);
  line1->setPalette(blue);
  line2->setPalette(blue);
  link_ = new LinkLabel("Справка программы Прамбус", this);
  connect(link_, &LinkLabel::clicked, this, [this] {
    if (openHelp) openHelp();
  });

  // The texts in a column between the pictures, as wide as the widest.
  int column = 0;
  for (QLabel* l : {name, line1, line2, static_cast<QLabel*>(link_)}) {
    l->setAlignment(Qt::AlignCenter);
    column = std::max(column, l->sizeHint().width());
  }
  column += 16;
  constexpr int kMargin = 10, kLeftW = 129, kLeftH = 149, kRightW = 123, kRightH = 138;
  const int columnX = kMargin + kLeftW + kMargin;
  const int width = columnX + column + kMargin + kRightW + kMargin;
  leftLabel_ = new QLabel(this);
  leftLabel_->setGeometry(kMargin, kMargin, kLeftW, kLeftH);
  rightLabel_ = new QLabel(this);
  rightLabel_->setGeometry(width - kMargin - kRightW, kMargin + (kLeftH - kRightH) / 2, kRightW,
                           kRightH);
  const int lineH = line1->sizeHint().height();
  name->setGeometry(columnX, 24, column, name->sizeHint().height());
  line1->setGeometry(columnX, 76, column, lineH);
  line2->setGeometry(columnX, 76 + lineH, column, lineH);
  link_->setGeometry(columnX, 76 + 3 * lineH, column, lineH);

  ok_ = new QPushButton("ОК", this);
  const int buttonsTop = kMargin + kLeftH + kMargin;
  ok_->setGeometry((width - 85) / 2, buttonsTop, 85, 28);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QWidget::hide);
  setFixedSize(width, buttonsTop + 28 + kMargin);
}

void AboutDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // The right picture gets a one-pixel blue frame through its corner pixels.
  QPainter p(&right_);
  p.setPen(QColor(0, 0, 0xFF));
  const int w = right_.width() - 1, h = right_.height() - 1;
  const QPoint corners[5] = {{0, 0}, {w, 0}, {w, h}, {0, h}, {0, 0}};
  p.drawPolyline(corners, 5);
  p.end();
  // The black around the left picture's figures takes the window's colour.
  const QRgb face = palette().color(QPalette::Window).rgb();
  FloodFill(reinterpret_cast<uint32_t*>(left_.bits()), left_.width(), left_.height(),
            static_cast<int>(left_.bytesPerLine() / 4), left_.width() - 2, 2, face);
  leftLabel_->setPixmap(QPixmap::fromImage(left_));
  rightLabel_->setPixmap(QPixmap::fromImage(right_));
}

void AboutDialog::hideEvent(QHideEvent* e) {
  QDialog::hideEvent(e);
  emit hidden();
}

void AboutDialog::changeEvent(QEvent* e) {
  QDialog::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) hide();
}

void AboutDialog::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    // The main window takes the focus, and losing it hides this window.
    if (QWidget* main = parentWidget()) main->activateWindow();
    hide();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace prambus
