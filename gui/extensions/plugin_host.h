// The plug-ins of the main window: the "Плагины" menu, their hot keys, and
// running a command with a recovery copy of a modified document written
// first (RecoveryKeeper).
#pragma once

#include <QAction>
#include <QMenu>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "extensions/extension_folders.h"
#include "extensions/plugin_set.h"

namespace prambus {

class MainWindow;

// An item of "Плагины": runs command 0 of its plug-in.
class PluginMenuItem : public QAction {
 public:
  PluginMenuItem(const QString& caption, int plugin, QObject* parent)
      : QAction(caption, parent), plugin_(plugin) {}
  int Plugin() const { return plugin_; }

 private:
  int plugin_;
};

class PluginHost {
 public:
  PluginHost(MainWindow& window, QMenu* pluginsMenu);
  ~PluginHost();

  // Adds an item per plug-in found in the folders (after "Скачать новый...")
  // and takes their hot keys.
  // Libraries left out as untrusted are added to `refused`; `watch` guards
  // the listing (see ListingGuard).
  void Enumerate(const std::vector<std::string>& folders,
                 std::vector<RefusedLibrary>* refused = nullptr, LibraryWatch* watch = nullptr);
  // Runs command n of a plug-in.
  PluginRun Run(int plugin, int command);
  // The key dispatch's last step: the first plug-in hot key with this key
  // and exact shift state runs. True when one was found.
  bool RunHotKey(int qtKey, Qt::KeyboardModifiers modifiers);

  const PluginSet& Plugins() const { return set_; }
  const std::vector<PluginMenuItem*>& Items() const { return items_; }

 private:
  // Writes the modified document aside; false (with a message) when it
  // cannot, and then the plug-in does not run.
  bool WriteRecoveryCopy(int plugin);

  MainWindow& window_;
  QMenu* menu_;
  std::unique_ptr<class PluginWindowAdapter> adapter_;
  PluginSet set_;
  std::vector<PluginMenuItem*> items_;
};

}  // namespace prambus
