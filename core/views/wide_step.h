// Scanning sixteen bytes of text at once for the layout's fast path.
#pragma once

#include <cstdint>

namespace prambus {

struct WideStep {
  int run;        // how many leading bytes are letters, digits, non-ASCII or spaces
  int lastBlank;  // the last space among them, or -1
};

WideStep ScanWideStep(const uint8_t* bytes);

}  // namespace prambus
