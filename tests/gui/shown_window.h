// The real main window as the GUI tests start it: on a file (or untitled),
// with data.dat in its own folder, shown and exposed.
#pragma once

#include <QtTest>
#include <memory>

#include "main_window.h"
#include "scripted_prompts.h"

namespace prambus {

// nullptr when the window was never exposed. With prompts, the window answers
// through a script installed before it is shown, and *prompts points to it.
inline std::unique_ptr<MainWindow> ShowWindow(const QString& dataDir, const QString& file,
                                              ScriptedPrompts** prompts = nullptr) {
  QStringList args{"prambus"};
  if (!file.isEmpty()) args << file;
  auto w = std::make_unique<MainWindow>(args, dataDir);
  if (prompts) *prompts = &ScriptedPrompts::InstallOn(*w);
  w->show();
  w->activateWindow();
  if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
  return w;
}

}  // namespace prambus
