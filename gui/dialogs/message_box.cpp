#include "message_box.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include "dialog_font.h"
#include "qt_canvas.h"
#include "screen_area.h"
#include "settings/settings.h"
#include "window_stacking.h"

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
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  font_ = DialogFont();
  for (int i = 0; i < buttons.size(); ++i) {
    auto* b = new MessageButton(buttons[i], i, this);
    b->setFont(font_);
    b->setAutoDefault(true);  // Enter presses the focused button
    connect(b, &QPushButton::clicked, this, [this, b] {
      auto action = b->action;
      done(b->Result());
      if (modeless_) deleteLater();
      if (action) action();
    });
    buttons_.push_back(b);
  }
  if (!buttons_.empty()) buttons_.front()->setDefault(true);
  KeepAboveTopmostWindows(this);
  DoLayout();
}

void MessageBox::DoLayout() {
  QtCanvas measure;
  measure.SetQFont(font_);
  std::vector<std::string> captions;
  for (MessageButton* b : buttons_) captions.push_back(ToCp1251(b->text()));
  // Laid out on the screen that holds the anchor, in that screen's work area.
  const Rect area = AvailableAreaAt(Anchor(), parentWidget());
  layout_ =
      LayOutMessage(measure, Cfg(), text_, captions, area.right - area.left, area.bottom - area.top,
                    {Anchor().x() - area.left, Anchor().y() - area.top});
  setFixedSize(layout_.clientWidth, layout_.clientHeight);
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const Rect& r = layout_.buttons[i];
    buttons_[i]->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  move(area.left + layout_.left, area.top + layout_.top);
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

// Drawn by the canvas that measured the lines, so each line fits where the
// layout put it.
void MessageBox::paintEvent(QPaintEvent*) {
  QtCanvas canvas;
  canvas.SetQFont(font_);
  canvas.SetFontColor(Cfg().TextColor);
  canvas.Begin(this);
  int y = layout_.textRect.top + 1;
  for (const MessageLine& line : layout_.lines) {
    canvas.TextOut(layout_.textLeft, y, line.text);
    y += layout_.lineHeight;
  }
}

void MessageBox::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) return reject();
  QDialog::keyPressEvent(e);
}

void MessageBox::reject() {
  done(2);
  if (modeless_) deleteLater();
}

void MessageBox::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  FrontAndFocused(this, buttons_.empty() ? nullptr : buttons_.front());
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
