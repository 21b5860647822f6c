// What the skin and plug-in libraries found at start-up offer: their menu
// captions and, for plug-ins, shortcuts and hot keys. Each library is loaded
// just long enough to read its strings.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "extensions/extension_folders.h"
#include "extensions/virtual_keys.h"

namespace prambus {

struct SkinEntry {
  std::string caption;
  LibraryFile file;
};

struct PluginEntry {
  std::string caption;
  LibraryFile file;
  std::optional<HotKey> shortcut;  // shown on the menu item; runs command 0
};

// One hot key of a plug-in command; the list keeps the order the libraries
// were found in, and the first entry with a key wins.
struct PluginHotKeyEntry {
  HotKey key;
  int plugin = 0;  // index into the plug-in entries
  int command = 0;
};

struct PluginCatalog {
  std::vector<PluginEntry> plugins;
  std::vector<PluginHotKeyEntry> hotKeys;
};

// Hot keys read per plug-in at most; a library that answers every string
// number cannot keep the program reading.
inline constexpr int kMaxPluginCommands = 256;

// What the listing asks of whoever watches over it (ListingGuard).
class LibraryWatch {
 public:
  virtual ~LibraryWatch() = default;
  virtual bool LeftOut(const std::string& path) = 0;
  virtual void Begin(const std::string& path) = 0;
  virtual void End() = 0;
};

// Libraries that cannot be loaded, lack the marker string or fault while
// giving their strings are left out without a word. With a watch, the
// libraries it leaves out are not loaded, and each other one is loaded,
// read and unloaded between its Begin and End.
std::vector<SkinEntry> EnumerateSkins(const std::vector<LibraryFile>& files,
                                      LibraryWatch* watch = nullptr);
PluginCatalog EnumeratePlugins(const std::vector<LibraryFile>& files,
                               LibraryWatch* watch = nullptr);

}  // namespace prambus
