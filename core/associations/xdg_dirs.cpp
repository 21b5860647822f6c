#include "associations/xdg_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

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
  return d;
}

}  // namespace prambus
