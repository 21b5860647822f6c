// The real main window started with a file on its command line, shown and
// on the screen, as a user starts the program.
#pragma once

#include <QTest>
#include <memory>

#include "main_window.h"

namespace prambus {

// file may be empty (no file); data.dat is read and written in dataDir.
// nullptr when the window never appeared.
inline std::unique_ptr<MainWindow> ShowWindow(const QString& file, const QString& dataDir) {
  auto w = std::make_unique<MainWindow>(QStringList{"prambus", file}, dataDir);
  w->show();
  w->activateWindow();
  if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
  return w;
}

}  // namespace prambus
