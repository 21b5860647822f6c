// The document a window showed before it began loading another file (or
// switching views in steps): kept aside whole, with the window's state that
// went with it, so that a cancelled load can give it back.
#pragma once

#include <vector>

#include "main_window.h"

namespace prambus {

struct MainWindow::PreviousDocument {
  Document document;  // its appearance record holds how the window showed it
  std::vector<bool> defaultChecks;
  QString openFolder;
};

}  // namespace prambus
