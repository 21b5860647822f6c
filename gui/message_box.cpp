#include "message_box.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "dialog_font.h"
#include "qt_canvas.h"
#include "settings/settings.h"

namespace prambus {

namespace {
QPoint& Anchor() {
  static QPoint anchor;
  return anchor;
}
}  // namespace

MessageButton::MessageButton(const QString& caption, int index, QWidget* parent)
    : QPushButton(caption, parent), index_(index) {}

MessageBox::MessageBox(QWidget* parent, const QString& caption, const QString& text,
                       const QStringList& buttons)
    : QDialog(parent), text_(ToCp1251(text)) {
  setWindowTitle(caption);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  font_ = DialogFont();
  for (int i = 0; i < buttons.size(); ++i) {
    auto* b = new MessageButton(buttons[i], i, this);
    b->setFont(font_);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, b] {
      auto action = b->action;
      done(b->Result());
      if (modeless_) deleteLater();
      if (action) action();
    });
    buttons_.push_back(b);
  }
  DoLayout();
}

void MessageBox::DoLayout() {
  QtCanvas measure;
  measure.SetQFont(font_);
  std::vector<std::string> captions;
  for (MessageButton* b : buttons_) captions.push_back(ToCp1251(b->text()));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  layout_ = LayOutMessage(measure, Cfg(), text_, captions, screen.width(), screen.height(),
                          {Anchor().x(), Anchor().y()});
  setFixedSize(layout_.clientWidth, layout_.clientHeight);
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const Rect& r = layout_.buttons[i];
    buttons_[i]->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  move(layout_.left, layout_.top);
}

int MessageBox::ShowModal() {
  DoLayout();
  return exec();
}

void MessageBox::ShowModeless() {
  modeless_ = true;
  setAttribute(Qt::WA_DeleteOnClose);
  DoLayout();
  show();
  activateWindow();
}

QString MessageBox::Text() const {
  return FromCp1251(text_);
}

void MessageBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(font_);
  p.setPen(ToQColor(Cfg().TextColor));
  const QFontMetrics fm(font_);
  int y = layout_.textRect.top + 1;
  for (const MessageLine& line : layout_.lines) {
    p.drawText(layout_.textLeft, y + fm.ascent(), FromCp1251(line.text));
    y += layout_.lineHeight;
  }
}

void MessageBox::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    done(2);
    if (modeless_) deleteLater();
    return;
  }
  QDialog::keyPressEvent(e);
}

void MessageBox::changeEvent(QEvent* e) {
  QDialog::changeEvent(e);
  if (modeless_ && e->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
    QTimer::singleShot(0, this, [this] { close(); });
}

void MessageBox::CentreOnMainWindow(const QWidget* window) {
  const QRect g = window->frameGeometry();
  Anchor() = QPoint(g.left() + g.width() / 2, g.top() + g.height() / 2);
}

void MessageBox::CentreOnPointer() {
  Anchor() = QCursor::pos();
}

}  // namespace prambus
