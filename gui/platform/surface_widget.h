// The main window's client area: shows the off-screen surface and hands
// keys, mouse actions and drops to the main window.
#pragma once

#include <QWidget>

namespace prambus {

class MainWindow;

class SurfaceWidget : public QWidget {
  Q_OBJECT
 public:
  explicit SurfaceWidget(MainWindow* owner);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab is typed
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  MainWindow* owner_;
};

}  // namespace prambus
