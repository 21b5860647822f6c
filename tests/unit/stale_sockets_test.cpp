// The sockets a killed copy leaves in the hand-over folder go at the next
// start; a copy that listens keeps its own, and nothing else is touched.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "shell/handover_folder.h"
#include "support/temp_dir.h"

namespace prambus {
namespace {

// A socket bound at path; listening when asked. The descriptor is returned.
int BoundSocket(const std::string& path, bool listening) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.data(), path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)), 0);
  if (listening) {
    EXPECT_EQ(::listen(fd, 4), 0);
  }
  return fd;
}

TEST(StaleSockets, OnlySocketsNobodyListensOnGo) {
  TempDir dir;
  const std::string killed = dir.File("copy-1-1"), alive = dir.File("copy-2-1"),
                    other = dir.File("other-socket"), file = dir.File("copy-3-1");
  ::close(BoundSocket(killed, true));  // its process ended: the file stays
  const int listening = BoundSocket(alive, true);
  ::close(BoundSocket(other, false));  // not a copy's name
  TempDir::Write(file, "not a socket");
  EXPECT_EQ(RemoveStaleSockets(dir.path()), 1);
  EXPECT_FALSE(std::filesystem::exists(killed));
  EXPECT_TRUE(std::filesystem::exists(alive));
  EXPECT_TRUE(std::filesystem::exists(other));
  EXPECT_TRUE(std::filesystem::exists(file));
  ::close(listening);
  EXPECT_EQ(RemoveStaleSockets(dir.path()), 1);
  EXPECT_EQ(RemoveStaleSockets(dir.File("missing")), 0);
}

// The runtime folder when it is the user's own, else the temporary folder
// when its path is absolute, else none.
TEST(HandOverFolder, TheRuntimeFolderFirstThenTheTemporaryOne) {
  TempDir runtime, tmp;
  const std::string name = "/prambus-" + std::to_string(::geteuid());
  EXPECT_EQ(HandOverFolder(runtime.path(), tmp.path()), runtime.path() + name);
  EXPECT_EQ(HandOverFolder("", tmp.path()), tmp.path() + name);
  EXPECT_EQ(HandOverFolder("relative", tmp.path()), tmp.path() + name);
  EXPECT_EQ(HandOverFolder("", "relative"), "");
  EXPECT_EQ(HandOverFolder("", ""), "");
}

}  // namespace
}  // namespace prambus
