// Showing a local file with the desktop's own program for it (the help
// document in the browser), and learning when there is none: the desktop's
// opener may fail long after it was started, which QDesktopServices does not
// tell.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace prambus {

// Opens file with the desktop's program for it; calls onFailure (once, on the
// GUI thread, possibly later) when no program could show it.
void OpenWithDesktop(const QString& file, QObject* owner, std::function<void()> onFailure);

}  // namespace prambus
