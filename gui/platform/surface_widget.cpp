#include "surface_widget.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "main_window.h"

namespace prambus {

SurfaceWidget::SurfaceWidget(MainWindow* owner) : QWidget(owner), owner_(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  owner_->PaintClient(p);
}

void SurfaceWidget::resizeEvent(QResizeEvent*) {
  owner_->SurfaceResized();
}

void SurfaceWidget::keyPressEvent(QKeyEvent* e) {
  if (!owner_->DispatchKeyEvent(e)) QWidget::keyPressEvent(e);
}

void SurfaceWidget::mousePressEvent(QMouseEvent* e) {
  owner_->MousePress(e);
}
void SurfaceWidget::mouseMoveEvent(QMouseEvent* e) {
  owner_->MouseMove(e);
}
void SurfaceWidget::mouseReleaseEvent(QMouseEvent* e) {
  owner_->MouseRelease(e);
}
void SurfaceWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  owner_->MouseDoubleClick(e);
}
void SurfaceWidget::wheelEvent(QWheelEvent* e) {
  owner_->Wheel(e);
}

// The wheel over a scroll bar scrolls as over the document, a line per
// notch: the bar's own handling steps by its values, which in a document
// too tall for them are less than a line and round back to where it was.
bool SurfaceWidget::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Wheel && watched->parent() == this) {
    owner_->Wheel(static_cast<QWheelEvent*>(e));
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

void SurfaceWidget::contextMenuEvent(QContextMenuEvent* e) {
  owner_->Menus().context->exec(e->globalPos());
}

}  // namespace prambus
