#include "extensions/fault_guard.h"

#include <setjmp.h>
#include <signal.h>

#include <array>
#include <cstdlib>

namespace prambus {

namespace {

constexpr std::array<int, 4> kFaultSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};

thread_local sigjmp_buf* currentJump = nullptr;
thread_local volatile sig_atomic_t lastFault = 0;
thread_local int depth = 0;

// The handlers that were installed before the outermost guard on this
// thread; put back when it ends. Only the GUI thread calls extensions, so
// one set is enough.
struct sigaction previous[kFaultSignals.size()];

void OnFault(int sig, siginfo_t* info, void* uc) {
  if (currentJump) {
    lastFault = sig;
    siglongjmp(*currentJump, 1);
  }
  // A fault on another thread while a guard is up: whoever handled it before
  // handles it now.
  for (size_t i = 0; i < kFaultSignals.size(); ++i) {
    if (kFaultSignals[i] != sig) continue;
    const struct sigaction& old = previous[i];
    if (old.sa_flags & SA_SIGINFO) {
      old.sa_sigaction(sig, info, uc);
      return;
    }
    if (old.sa_handler != SIG_DFL && old.sa_handler != SIG_IGN) {
      old.sa_handler(sig);
      return;
    }
  }
  signal(sig, SIG_DFL);  // the faulting instruction runs again and ends the process
}

// A stack overflow leaves no stack for the handler, so it runs on its own.
void EnsureAlternateStack() {
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) return;
  static thread_local std::array<char, 64 * 1024> memory;
  stack_t ss{};
  ss.ss_sp = memory.data();
  ss.ss_size = memory.size();
  sigaltstack(&ss, nullptr);
}

void InstallHandlers() {
  EnsureAlternateStack();
  struct sigaction sa {};
  sa.sa_sigaction = OnFault;
  sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&sa.sa_mask);
  for (size_t i = 0; i < kFaultSignals.size(); ++i) sigaction(kFaultSignals[i], &sa, &previous[i]);
}

void RestoreHandlers() {
  for (size_t i = 0; i < kFaultSignals.size(); ++i)
    sigaction(kFaultSignals[i], &previous[i], nullptr);
}

}  // namespace

bool RunGuarded(void (*fn)(void*), void* context) {
  if (depth++ == 0) InstallHandlers();
  sigjmp_buf jump;
  sigjmp_buf* const outer = currentJump;
  volatile bool completed = false;
  lastFault = 0;
  if (sigsetjmp(jump, 1) == 0) {
    currentJump = &jump;
    fn(context);
    completed = true;
  }
  currentJump = outer;
  if (--depth == 0) RestoreHandlers();
  return completed;
}

int LastGuardedFault() {
  return lastFault;
}

}  // namespace prambus
