// The row of the status bar: its six panels and, while a file loads, the
// progress label after them, placed by LayOutStatusBar.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <array>

namespace prambus {

class StatusPanelRow : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kGap = 2;  // between two panels

  explicit StatusPanelRow(QWidget* parent);
  QLabel* Panel(int i) const { return panels_[static_cast<size_t>(i)]; }
  // The progress label becomes the last of the row; shown or hidden, changed
  // or taken away again (given another parent), the row follows it.
  void TakeProgress(QLabel* progress);
  // Places the labels again; after their texts change.
  void Relayout();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* e) override;
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  bool HasProgress() const;
  std::array<QLabel*, 6> panels_{};
  QPointer<QLabel> progress_;
};

}  // namespace prambus
