// The main window's client area: shows the off-screen surface and hands
// keys, mouse actions and drops to the main window.
#pragma once

#include <QWidget>

namespace prambus {

class Tform1;

class SurfaceWidget : public QWidget {
  Q_OBJECT
 public:
  explicit SurfaceWidget(Tform1* owner);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  Tform1* owner_;
};

}  // namespace prambus
