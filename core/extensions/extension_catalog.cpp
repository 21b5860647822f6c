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

}  // namespace

std::vector<SkinEntry> EnumerateSkins(const std::vector<LibraryFile>& files) {
  std::vector<SkinEntry> out;
  for (const LibraryFile& file : files) {
    const std::unique_ptr<ExtensionLibrary> lib = ExtensionLibrary::Load(file.absolutePath);
    if (!lib) continue;
    if (auto caption = MarkedCaption(*lib, PRAMBUS_SKIN_MARKER, kSkinMarkerChars))
      out.push_back({*caption, file});
  }
  return out;
}

PluginCatalog EnumeratePlugins(const std::vector<LibraryFile>& files) {
  PluginCatalog out;
  for (const LibraryFile& file : files) {
    const std::unique_ptr<ExtensionLibrary> lib = ExtensionLibrary::Load(file.absolutePath);
    if (!lib) continue;
    const std::optional<std::string> caption =
        MarkedCaption(*lib, PRAMBUS_PLUGIN_MARKER, kPluginMarkerChars);
    if (!caption) continue;
    PluginEntry entry{*caption, file, std::nullopt};
    const int index = static_cast<int>(out.plugins.size());
    std::vector<PluginHotKeyEntry> keys;
    bool faulted = false;
    if (auto text = lib->String(PRAMBUS_STRING_SHORTCUT, kHotKeyChars)) {
      entry.shortcut = ParseHotKey(*text);
      if (entry.shortcut) keys.push_back({*entry.shortcut, index, 0});
    } else {
      faulted = true;
    }
    for (int command = 1; command < kMaxPluginCommands && !faulted; ++command) {
      const std::optional<std::string> text =
          lib->String(PRAMBUS_STRING_SHORTCUT + command, kHotKeyChars);
      if (!text) faulted = true;
      if (!text || text->empty()) break;
      if (auto key = ParseHotKey(*text)) keys.push_back({*key, index, command});
    }
    if (faulted) {
      lib->Abandon();
      continue;
    }
    out.plugins.push_back(std::move(entry));
    out.hotKeys.insert(out.hotKeys.end(), keys.begin(), keys.end());
  }
  return out;
}

}  // namespace prambus
