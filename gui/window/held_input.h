// Input that arrives while a command waits for a load to end. It is held
// back so that no second command and no second load start inside the wait:
// Escape and the window's close are only noted, for the wait to act on; the
// rest is kept and handed on once the wait is over. What came before an
// Escape was meant for the load being stopped and goes with it.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class QEvent;
class QWidget;

namespace prambus {

class HeldInput : public QObject {
 public:
  // Holds the application's input back from now until it is destroyed.
  explicit HeldInput(QWidget* window);
  ~HeldInput() override;
  HeldInput(const HeldInput&) = delete;
  HeldInput& operator=(const HeldInput&) = delete;

  // The mouse still reaches `button` (a stop button of the wait).
  void LetThrough(QWidget* button) { button_ = button; }
  bool EscapePressed() const { return escape_; }
  bool CloseAsked() const { return close_; }
  // Posts the kept events again, in the order they came.
  void HandOn();

 protected:
  bool eventFilter(QObject* target, QEvent* e) override;

 private:
  bool ForButton(QObject* target, QEvent* e) const;
  struct Kept {
    QPointer<QObject> target;
    std::unique_ptr<QEvent> event;
  };
  QWidget* window_;
  QPointer<QWidget> button_;
  bool escape_ = false, close_ = false;
  std::vector<Kept> kept_;
};

}  // namespace prambus
