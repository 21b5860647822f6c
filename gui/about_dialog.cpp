#include "about_dialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QUrl>

#include "shell/flood_fill.h"
#include "shell/help_location.h"

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
  setFixedSize(500, 212);
  left_ = QImage(":/art/about-left.png").convertToFormat(QImage::Format_RGB32);
  right_ = QImage(":/art/about-right.png").convertToFormat(QImage::Format_RGB32);
  leftLabel_ = new QLabel(this);
  leftLabel_->setGeometry(10, 10, 129, 149);
  rightLabel_ = new QLabel(this);
  rightLabel_->setGeometry(500 - 10 - 123, 16, 123, 138);

  auto* name = new QLabel("ПРАМБУС  1.11", this);
  QFont nameFont("Times New Roman");
  nameFont.setStyleHint(QFont::Serif);
  nameFont.setPixelSize(27);
  name->setFont(nameFont);
  QPalette maroon = name->palette();
  maroon.setColor(QPalette::WindowText, QColor(0x80, 0, 0));
  name->setPalette(maroon);
  name->setAlignment(Qt::AlignCenter);
  name->setGeometry(145, 30, 214, 40);

  QPalette blue = palette();
  blue.setColor(QPalette::WindowText, QColor(0, 0, 0xFF));
  const char* lines[2] = {"Шестнадцатеричный и ", "текстовый редактор"};
  for (int i = 0; i < 2; ++i) {
    auto* line = new QLabel(lines[i], this);
    line->setPalette(blue);
    line->setAlignment(Qt::AlignCenter);
    line->setGeometry(145, 80 + i * 20, 214, 20);
  }
  link_ = new LinkLabel("Справка программы Прамбус", this);
  link_->setAlignment(Qt::AlignCenter);
  link_->setGeometry(145, 134, 214, 20);
  connect(link_, &LinkLabel::clicked, this, [] {
    const std::string exeDir = QCoreApplication::applicationDirPath().toStdString();
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdString(HelpDocumentPath(exeDir))));
  });

  ok_ = new QPushButton("ОК", this);
  ok_->setGeometry((500 - 85) / 2, 172, 85, 28);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QWidget::hide);
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
