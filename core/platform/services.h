// The few platform services that core operations need besides drawing.
// The gui layer installs real implementations; tests install recorders.
#pragma once

#include <functional>
#include <string>

namespace prambus {

struct PlatformServices {
  std::function<void()> beep;                            // plain system beep
  std::function<void(const std::string&)> setClipboard;  // 8-bit Windows-1251 text
  std::function<std::string()> getClipboard;             // 8-bit Windows-1251 text
};

// The program-wide service table; empty functions do nothing.
PlatformServices& Services();
void Beep();

}  // namespace prambus
