#include "platform/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>

namespace prambus {

namespace {

// One pipe per process: the handler reaches it through this descriptor.
volatile sig_atomic_t writeFd = -1;

void OnSignal(int signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  if (writeFd >= 0) {
    const ssize_t n = ::write(writeFd, &byte, 1);  // a full pipe has the news already
    (void)n;
  }
  errno = saved;
}

}  // namespace

SignalPipe::SignalPipe(std::initializer_list<int> numbers) {
  int fds[2];
  if (writeFd >= 0 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  writeFd = fds[1];
  readFd_ = fds[0];
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : numbers) {
    if (count_ == static_cast<int>(std::size(installed_)) ||
        ::sigaction(signal, &action, nullptr) != 0)
      continue;
    installed_[count_++] = signal;
  }
}

SignalPipe::~SignalPipe() {
  if (readFd_ < 0) return;
  for (int i = 0; i < count_; ++i) std::signal(installed_[i], SIG_DFL);
  ::close(writeFd);
  writeFd = -1;
  ::close(readFd_);
}

int SignalPipe::Take() {
  unsigned char byte = 0;
  return readFd_ >= 0 && ::read(readFd_, &byte, 1) == 1 ? byte : 0;
}

}  // namespace prambus
