// Signals that ask the program to end (SIGTERM, SIGHUP: the session ends)
// turned into bytes on a pipe, so that the main thread's event loop learns
// of them and ends as it would itself: the handler only writes the signal's
// number to the pipe, which is all a signal handler may safely do here.
#pragma once

#include <initializer_list>

namespace prambus {

class SignalPipe {
 public:
  // Installs the handler for each signal; Valid() is false when the pipe or
  // a handler cannot be had (then the signals keep their default action).
  explicit SignalPipe(std::initializer_list<int> numbers);
  ~SignalPipe();  // the signals get their default action back
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

  bool Valid() const { return readFd_ >= 0; }
  // Readable once a signal came.
  int ReadFd() const { return readFd_; }
  // The signal that came, or 0 when none is waiting (never blocks).
  int Take();

 private:
  int readFd_ = -1;
  int installed_[8] = {};
  int count_ = 0;
};

}  // namespace prambus
