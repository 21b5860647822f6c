#include "extensions/extension_catalog.h"

#include "extensions/extension_library.h"
#include "prambus/extension.h"

namespace prambus {

namespace {

// The library's caption when string 1 is its marker; nothing otherwise. A
// library that faulted stays loaded: its code may be half run.
std::optional<std::string> MarkedCaption(ExtensionLibrary& lib, const char* marker,
                                         int markerChars) {
  const std::optional<std::string> found = lib.String(PRAMBUS_STRING_MARKER, markerChars);
  if (!found) {
    lib.Abandon();
    return std::nullopt;
  }
  if (*found != marker) return std::nullopt;
  std::optional<std::string> caption = lib.String(PRAMBUS_STRING_CAPTION, kCaptionChars);
  if (!caption) lib.Abandon();
  return caption;
}

// Runs list(file) for each file the watch does not leave out, between the
// watch's Begin and End (the library is unloaded before End).
template <typename List>
void ForEachWatched(const std::vector<LibraryFile>& files, LibraryWatch* watch, List list) {
  for (const LibraryFile& file : files) {
    if (watch && watch->LeftOut(file.absolutePath)) continue;
    if (watch) watch->Begin(file.absolutePath);
    list(file);
    if (watch) watch->End();
  }
}

// A plug-in's shortcut and hot keys; nothing when reading them faulted.
std::optional<std::vector<PluginHotKeyEntry>> HotKeysOf(ExtensionLibrary& lib, PluginEntry& entry,
                                                        int index) {
  std::vector<PluginHotKeyEntry> keys;
  const std::optional<std::string> shortcut = lib.String(PRAMBUS_STRING_SHORTCUT, kHotKeyChars);
  if (!shortcut) return std::nullopt;
  entry.shortcut = ParseHotKey(*shortcut);
  if (entry.shortcut) keys.push_back({*entry.shortcut, index, 0});
  for (int command = 1; command < kMaxPluginCommands; ++command) {
    const std::optional<std::string> text =
        lib.String(PRAMBUS_STRING_SHORTCUT + command, kHotKeyChars);
    if (!text) return std::nullopt;
    if (text->empty()) break;
    if (auto key = ParseHotKey(*text)) keys.push_back({*key, index, command});
  }
  return keys;
}

}  // namespace

std::vector<SkinEntry> EnumerateSkins(const std::vector<LibraryFile>& files, LibraryWatch* watch) {
  std::vector<SkinEntry> out;
  ForEachWatched(files, watch, [&out](const LibraryFile& file) {
    const std::unique_ptr<ExtensionLibrary> lib = ExtensionLibrary::Load(file.absolutePath);
    if (!lib) return;
    if (auto caption = MarkedCaption(*lib, PRAMBUS_SKIN_MARKER, kSkinMarkerChars))
      out.push_back({*caption, file});
  });
  return out;
}

PluginCatalog EnumeratePlugins(const std::vector<LibraryFile>& files, LibraryWatch* watch) {
  PluginCatalog out;
  ForEachWatched(files, watch, [&out](const LibraryFile& file) {
    const std::unique_ptr<ExtensionLibrary> lib = ExtensionLibrary::Load(file.absolutePath);
    if (!lib) return;
    const std::optional<std::string> caption =
        MarkedCaption(*lib, PRAMBUS_PLUGIN_MARKER, kPluginMarkerChars);
    if (!caption) return;
    PluginEntry entry{*caption, file, std::nullopt};
    const std::optional<std::vector<PluginHotKeyEntry>> keys =
        HotKeysOf(*lib, entry, static_cast<int>(out.plugins.size()));
    if (!keys) {
      lib->Abandon();
      return;
    }
    out.plugins.push_back(std::move(entry));
    out.hotKeys.insert(out.hotKeys.end(), keys->begin(), keys->end());
  });
  return out;
}

}  // namespace prambus
