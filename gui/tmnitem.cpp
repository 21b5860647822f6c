#include "tmnitem.h"

#include <QKeySequence>

namespace prambus {

tmnitem::tmnitem(const QString& caption, bool checkable, QObject* parent)
    : QAction(caption, parent), checkable_(checkable) {
  // The check mark is flipped by the main window's click handling, not by Qt.
  setCheckable(checkable);
}

void tmnitem::SetShortcutText(const std::string& text) {
  setShortcut(QKeySequence(QString::fromStdString(text)));
}

}  // namespace prambus
