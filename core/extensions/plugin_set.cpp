#include "extensions/plugin_set.h"

#include "extensions/fault_guard.h"
#include "prambus/extension.h"

namespace prambus {

PluginSet::PluginSet(PluginCatalog catalog)
    : catalog_(std::move(catalog)), loaded_(catalog_.plugins.size()) {}

bool PluginSet::IsLoaded(int plugin) const {
  return plugin >= 0 && plugin < static_cast<int>(loaded_.size()) && loaded_[plugin].library;
}

bool PluginSet::IsDisabled(int plugin) const {
  return plugin >= 0 && plugin < static_cast<int>(loaded_.size()) && loaded_[plugin].disabled;
}

std::optional<PluginHotKeyEntry> PluginSet::FindHotKey(int virtualKey, uint8_t shiftState) const {
  for (const PluginHotKeyEntry& e : catalog_.hotKeys)
    if (e.key.virtualKey == virtualKey && e.key.shiftState == shiftState) return e;
  return std::nullopt;
}

PluginRun PluginSet::RunCommand(int plugin, int command, ExtensionWindow& window,
                                const std::function<bool()>& beforeCall) {
  if (plugin < 0 || plugin >= static_cast<int>(loaded_.size()) || command < 0 || running_)
    return PluginRun::kRefused;
  Loaded& slot = loaded_[plugin];
  if (slot.disabled) return PluginRun::kDisabled;
  if (!slot.library)
    slot.library = ExtensionLibrary::Load(catalog_.plugins[plugin].file.absolutePath);
  if (!slot.library) return PluginRun::kFailed;
  const auto start = slot.library->Function<prambus_start_fn>("StartProc");
  const auto startCommand = slot.library->Function<prambus_start_command_fn>("StartDopProc");
  if ((command == 0 && !start) || (command > 0 && !startCommand)) {
    slot.library.reset();
    return PluginRun::kFailed;
  }
  if (beforeCall && !beforeCall()) return PluginRun::kRefused;

  running_ = true;
  const auto kind = static_cast<uint8_t>(window.CurrentViewKind());
  const prambus_get_function get = PluginGetFunction();
  int32_t result = 0;
  bool faulted;
  {
    PluginCallScope scope(window);
    const bool completed = RunGuarded(
        [&] { result = command == 0 ? start(kind, get) : startCommand(kind, command, get); });
    faulted = !completed || scope.Faulted();
  }
  running_ = false;
  if (faulted) {
    slot.library->Abandon();
    slot.library.reset();
    slot.disabled = true;
    return PluginRun::kFaulted;
  }
  if (result == 0) {
    slot.library.reset();
    return PluginRun::kFailed;
  }
  return PluginRun::kDone;
}

}  // namespace prambus
