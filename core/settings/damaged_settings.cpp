#include "settings/damaged_settings.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>

namespace prambus {

namespace {
void DistrustWindow(WindowAppearance& w) {
  WindowAppearance usable;
  usable.path = std::move(w.path);
  usable.viewKind = w.viewKind;
  usable.checks = std::move(w.checks);
  usable.encodingIndex = w.encodingIndex;
  usable.encodingId = std::move(w.encodingId);
  w = std::move(usable);
}
}  // namespace

void DistrustDamagedAppearance(StoredState& state, Settings& s) {
  DistrustWindow(state.defaults);
  for (WindowAppearance& pinned : state.pinned) DistrustWindow(pinned);
  state.surfaceFont = Font{};
  const Settings d;
  s.TextColor = d.TextColor, s.TextFont = d.TextFont, s.TextSize = d.TextSize;
  s.TextStyle = d.TextStyle;
  s.ChosenTextClr = d.ChosenTextClr, s.ChosenFonClr = d.ChosenFonClr;
  s.CoordColor = d.CoordColor, s.LineColor = d.LineColor, s.MarginColor = d.MarginColor;
}

std::string DamagedSettingsName(const std::string& path, std::time_t when) {
  std::tm local{};
  char stamp[32] = "";
  if (::localtime_r(&when, &local)) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return path + ".damaged-" + stamp;
}

int SetDamagedSettingsAside(const std::string& path, const std::string& aside) {
  if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return 0;
  const int err = errno;
  if (err != EINVAL && err != ENOSYS) return err;
  // A file system without the flag: a link under the new name fails when
  // the name is taken, and the old name goes only once the link is there.
  if (::link(path.c_str(), aside.c_str()) != 0) return errno;
  return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

}  // namespace prambus
