// Calls into extension code (skins and plug-ins) under a guard: a hardware
// fault inside the call (a bad pointer, a stack overflow, a division by zero)
// returns control to the caller instead of ending the program. Memory the
// extension scribbled on stays as it is, so the caller stops using that
// library for the rest of the run. Guards nest; each thread has its own.
#pragma once

#include <utility>

namespace prambus {

// Runs fn(context) and returns true, or false when a fault (SIGSEGV, SIGBUS,
// SIGFPE, SIGILL) stopped it. Frames between the guard and the fault are
// abandoned without unwinding, so fn must hold nothing that needs cleaning
// up when it calls foreign code.
bool RunGuarded(void (*fn)(void*), void* context);

// The same for any callable; the callable itself stays in the caller's frame.
template <typename F>
bool RunGuarded(F&& f) {
  return RunGuarded([](void* c) { (*static_cast<std::remove_reference_t<F>*>(c))(); },
                    static_cast<void*>(&f));
}

// The signal that stopped the last guarded call on this thread, 0 if none.
int LastGuardedFault();

}  // namespace prambus
