// The user's and the system's base folders of the freedesktop conventions:
// where configuration (mimeapps.list) and data (desktop entries, MIME types,
// icons) live. Everything this program writes goes below the user's two.
#pragma once

#include <string>
#include <vector>

namespace prambus {

struct XdgDirs {
  std::string configHome;             // $XDG_CONFIG_HOME, else ~/.config
  std::string dataHome;               // $XDG_DATA_HOME, else ~/.local/share
  std::vector<std::string> dataDirs;  // $XDG_DATA_DIRS, else /usr/local/share, /usr/share

  // Read from the environment; relative values are ignored, as the
  // conventions ask.
  static XdgDirs FromEnvironment();
};

}  // namespace prambus
