// The document a window showed before it began loading another file: kept
// aside, view and all, so that a cancelled load can give it back.
#pragma once

#include <memory>
#include <vector>

#include "main_window.h"

namespace prambus {

struct MainWindow::PreviousDocument {
  std::unique_ptr<ViewBase> view;
  int viewKind = 0;
  QString fileName;
  bool modified = false;
  int encoding = 0;
  quint32 hash = 0;
  int openDuration = -1;
  bool undoEnabled = false, redoEnabled = false;
  std::vector<bool> defaultChecks;
  WindowAppearance appearance;
  int desiredColumn = -1;
  QString openFolder;
};

}  // namespace prambus
