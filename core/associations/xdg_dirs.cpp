#include "associations/xdg_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "associations/ascii_text.h"

namespace prambus {
namespace {

std::string Absolute(const char* value) {
  return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string HomeDir() {
  std::string home = Absolute(std::getenv("HOME"));
  if (!home.empty()) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

}  // namespace

XdgDirs XdgDirs::FromEnvironment() {
  XdgDirs d;
  d.configHome = Absolute(std::getenv("XDG_CONFIG_HOME"));
  if (d.configHome.empty()) d.configHome = HomeDir() + "/.config";
  d.dataHome = Absolute(std::getenv("XDG_DATA_HOME"));
  if (d.dataHome.empty()) d.dataHome = HomeDir() + "/.local/share";
  d.cacheHome = Absolute(std::getenv("XDG_CACHE_HOME"));
  if (d.cacheHome.empty()) d.cacheHome = HomeDir() + "/.cache";
  d.stateHome = Absolute(std::getenv("XDG_STATE_HOME"));
  if (d.stateHome.empty()) d.stateHome = HomeDir() + "/.local/state";
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    std::string dir = list.substr(start, end - start);
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (!dir.empty() && dir[0] == '/') d.dataDirs.push_back(dir);
    start = end + 1;
  }
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  d.desktops = DesktopNames(desktop ? desktop : "");
  return d;
}

std::vector<std::string> XdgDirs::DesktopNames(std::string_view value) {
  std::vector<std::string> names;
  while (true) {
    const size_t colon = value.find(':');
    std::string name(value.substr(0, colon));
    std::transform(name.begin(), name.end(), name.begin(), AsciiLower);
    const bool usable = !name.empty() && name.find('/') == std::string::npos;
    if (usable && std::find(names.begin(), names.end(), name) == names.end())
      names.push_back(std::move(name));
    if (colon == std::string_view::npos) break;
    value.remove_prefix(colon + 1);
  }
  return names;
}

}  // namespace prambus
