// Everything data.dat holds besides the settings record: the window state,
// the default and pinned window appearances, the recent files, the extension
// bindings and the loaded encodings. Reading data.dat produces this plain
// value; the main window applies it and captures it back before saving.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace prambus {

// A window appearance: the default one and one per pinned file.
struct WindowAppearance {
  std::string path;  // the pinned file (unused in the default record)
  int32_t left = 0, top = 0, width = 786, height = 483;
  uint8_t windowState = 0;  // 0 normal, 1 minimized, 2 maximized
  bool visible = true;
  bool minimalMode = false;
  bool stayOnTop = false;
  int16_t viewKind = 1;
  std::vector<bool> checks;  // check marks of the view's checkable commands
  std::string skin;          // "skins/" + file name; empty for no skin
  Color background = 0xFFFFFF;
  uint8_t encodingIndex = 0;  // the encoding as older programs read it (encoding menu position)
  std::string encodingId;     // the encoding's catalogue identifier; empty: read encodingIndex
  bool statusBar = true;
  bool operator==(const WindowAppearance&) const = default;
};

struct RecentEntry {
  std::string path;  // empty: unused
  int32_t col = 0, row = 0;
  uint8_t viewKind = 0;    // 0: not remembered
  std::string encodingId;  // empty: not remembered
  bool operator==(const RecentEntry&) const = default;
};

struct ExtensionBinding {
  std::string ext;  // with its leading dot
  uint8_t viewIndex = 0;
  bool operator==(const ExtensionBinding&) const = default;
};

struct LoadedEncoding {
  std::string path;
  std::string name;
  bool operator==(const LoadedEncoding&) const = default;
};

inline constexpr int kMaxPinned = 100;

struct StoredState {
  WindowAppearance defaults;  // bounds, state, modes, view kind, checks, skin, encoding, status bar
  Font surfaceFont;
  std::vector<ExtensionBinding> bindings;
  std::vector<WindowAppearance> pinned;
  std::vector<RecentEntry> recent;
  std::vector<LoadedEncoding> encodings;
  std::array<std::vector<bool>, 2> kindChecks;  // per view table index
  bool operator==(const StoredState&) const = default;
};

}  // namespace prambus
