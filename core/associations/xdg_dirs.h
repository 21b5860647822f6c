// The user's and the system's base folders of the freedesktop conventions:
// where configuration (mimeapps.list) and data (desktop entries, MIME types,
// icons) live, and the user's cache and state folders (backups, saves in
// progress). Everything this program writes goes below the user's folders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace prambus {

struct XdgDirs {
  std::string configHome;             // $XDG_CONFIG_HOME, else ~/.config
  std::string dataHome;               // $XDG_DATA_HOME, else ~/.local/share
  std::string cacheHome;              // $XDG_CACHE_HOME, else ~/.cache
  std::string stateHome;              // $XDG_STATE_HOME, else ~/.local/state
  std::vector<std::string> dataDirs;  // $XDG_DATA_DIRS, else /usr/local/share, /usr/share
  // The names in $XDG_CURRENT_DESKTOP, lower-cased, most specific first:
  // each has a list of defaults of its own ("gnome-mimeapps.list") that
  // comes before the common one.
  std::vector<std::string> desktops;

  // Read from the environment; relative values are ignored, as the
  // conventions ask.
  static XdgDirs FromEnvironment();
  // The names of a colon-separated $XDG_CURRENT_DESKTOP value, lower-cased,
  // each once. Empty names and names holding "/" are left out, since a name
  // becomes part of a file name in the configuration folder.
  static std::vector<std::string> DesktopNames(std::string_view value);
};

}  // namespace prambus
