// A library's constructor runs inside the loader, where no fault guard can
// take control back (the loader holds its lock): a fault there ends the
// start. While a library is being loaded at start, this turns that end into
// a fresh start of the program: the journal's note already names the
// library, so the new start leaves it out and tells the user on screen,
// instead of a start that vanishes with no word.
#pragma once

#include <signal.h>

#include <array>
#include <string>

#include "extensions/fresh_start.h"

namespace prambus {

class ListingFaultRestart {
 public:
  // Installs the fault handlers for the listing; at most one at a time.
  explicit ListingFaultRestart(const FreshStart& fresh);
  ~ListingFaultRestart();  // the handlers as they were
  ListingFaultRestart(const ListingFaultRestart&) = delete;
  ListingFaultRestart& operator=(const ListingFaultRestart&) = delete;

  // Around loading one library on this thread; a fault on another thread,
  // or while disarmed, ends the program as it would have.
  void Arm(const std::string& library);
  void Disarm();

 private:
  static constexpr std::array<int, 5> kSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
  std::array<struct sigaction, kSignals.size()> previous_{};
};

}  // namespace prambus
