#include "held_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace prambus {

HeldInput::HeldInput(QWidget* window) : window_(window) {
  QCoreApplication::instance()->installEventFilter(this);
}

HeldInput::~HeldInput() {
  QCoreApplication::instance()->removeEventFilter(this);
}

void HeldInput::HandOn() {
  for (Kept& k : kept_)
    if (k.target) QCoreApplication::postEvent(k.target, k.event.release());
  kept_.clear();
}

// A press or release goes to the window first, then to the widget under the
// pointer: both pass when that widget is the button let through.
bool HeldInput::ForButton(QObject* target, QEvent* e) const {
  if (!button_) return false;
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      break;
    default:
      return false;
  }
  if (target == button_) return true;
  if (!qobject_cast<QWindow*>(target)) return false;
  const auto* mouse = static_cast<const QMouseEvent*>(e);
  return QApplication::widgetAt(mouse->globalPosition().toPoint()) == button_;
}

bool HeldInput::eventFilter(QObject* target, QEvent* e) {
  if (ForButton(target, e)) return false;
  switch (e->type()) {
    case QEvent::Close:
      if (target != window_) return false;
      close_ = true;
      e->ignore();
      return true;
    case QEvent::KeyPress: {
      const auto* key = static_cast<const QKeyEvent*>(e);
      const auto mods = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
      if (!escape_ && key->key() == Qt::Key_Escape && !(key->modifiers() & mods)) {
        escape_ = true;
        kept_.clear();
        return true;
      }
      [[fallthrough]];
    }
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
      kept_.push_back({target, std::unique_ptr<QEvent>(e->clone())});
      return true;
    // Moves, drops and shortcuts mean nothing once the wait is over.
    case QEvent::MouseMove:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
      return true;
    default:
      return false;
  }
}

}  // namespace prambus
