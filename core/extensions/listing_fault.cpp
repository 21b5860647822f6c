#include "extensions/listing_fault.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace prambus {

namespace {

// What the handler reads; written only while it is disarmed.
const FreshStart* restartWith = nullptr;
char armedLibrary[4096];
pid_t armedThread = 0;
volatile sig_atomic_t armed = 0;

pid_t ThisThread() {
  return static_cast<pid_t>(::syscall(SYS_gettid));
}

void OnListingFault(int sig, siginfo_t*, void*) {
  if (armed && ThisThread() == armedThread) {
    armed = 0;
    restartWith->ReplaceAfterFault(armedLibrary);
  }
  // No fresh start: the program ends by the signal, as without the handler.
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

ListingFaultRestart::ListingFaultRestart(const FreshStart& fresh) {
  restartWith = &fresh;
  struct sigaction sa {};
  sa.sa_sigaction = OnListingFault;
  sa.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigemptyset(&sa.sa_mask);
  for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &sa, &previous_[i]);
}

ListingFaultRestart::~ListingFaultRestart() {
  Disarm();
  for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  restartWith = nullptr;
}

void ListingFaultRestart::Arm(const std::string& library) {
  armed = 0;
  const size_t n = std::min(library.size(), sizeof armedLibrary - 1);
  std::memcpy(armedLibrary, library.data(), n);
  armedLibrary[n] = '\0';
  armedThread = ThisThread();
  armed = restartWith && restartWith->Possible() ? 1 : 0;
}

void ListingFaultRestart::Disarm() {
  armed = 0;
}

}  // namespace prambus
