// The plug-ins found at start-up and running their commands: a library is
// loaded on first use and held; a command that reports failure, or a
// library without the entry point, is forgotten and loaded again next time;
// a library that faults is kept off for the rest of the run.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "extensions/extension_catalog.h"
#include "extensions/extension_library.h"
#include "extensions/plugin_callbacks.h"

namespace prambus {

enum class PluginRun {
  kDone,      // the command reported success
  kFailed,    // not loaded, no entry point, or the command reported failure
  kFaulted,   // the library faulted; it stays off for the rest of the run
  kDisabled,  // it faulted earlier
  kRefused,   // not started (see RunCommand)
};

class PluginSet {
 public:
  PluginSet() = default;
  explicit PluginSet(PluginCatalog catalog);

  const std::vector<PluginEntry>& Plugins() const { return catalog_.plugins; }
  const std::vector<PluginHotKeyEntry>& HotKeys() const { return catalog_.hotKeys; }
  bool IsLoaded(int plugin) const;
  bool IsDisabled(int plugin) const;

  // The first hot-key entry for this key and exact shift state.
  std::optional<PluginHotKeyEntry> FindHotKey(int virtualKey, uint8_t shiftState) const;

  // Runs command n of a plug-in (0 through StartProc, n >= 1 through
  // StartDopProc) with the callbacks acting on `window`. beforeCall runs
  // once the entry point is known, just before it is called; when it
  // returns false the command is not started (kRefused). A command already
  // running refuses another one: a plug-in pressing its own hot key would
  // otherwise call itself without end.
  PluginRun RunCommand(int plugin, int command, ExtensionWindow& window,
                       const std::function<bool()>& beforeCall = {});
  bool Running() const { return running_; }

 private:
  struct Loaded {
    std::unique_ptr<ExtensionLibrary> library;
    bool disabled = false;
  };
  PluginCatalog catalog_;
  std::vector<Loaded> loaded_;
  bool running_ = false;
};

}  // namespace prambus
