#include "surface_widget.h"

#include <QPainter>

#include "txtobrabotka.h"

namespace prambus {

SurfaceWidget::SurfaceWidget(Tform1* owner) : QWidget(owner), owner_(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  owner_->PaintClient(p);
}

void SurfaceWidget::resizeEvent(QResizeEvent*) { owner_->FormResize(); }

}  // namespace prambus
