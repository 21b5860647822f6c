// A signal that asks the program to end reaches the event loop as a byte on
// a pipe; the process goes on.
#include "platform/signal_pipe.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>

namespace prambus {
namespace {

TEST(SignalPipe, TheSignalsArriveAsBytesAndTheDefaultComesBack) {
  {
    SignalPipe pipe({SIGTERM, SIGHUP});
    ASSERT_TRUE(pipe.Valid());
    EXPECT_EQ(pipe.Take(), 0);  // nothing yet, and no wait for it
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_EQ(::raise(SIGHUP), 0);
    pollfd p{pipe.ReadFd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_EQ(pipe.Take(), SIGTERM);
    EXPECT_EQ(pipe.Take(), SIGHUP);
    EXPECT_EQ(pipe.Take(), 0);
  }
  struct sigaction now {};
  ::sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace prambus
