// The folders the program keeps for the user alone are used only when they
// are the user's own: made 0700, an own folder open to others closed, and
// another user's folder, a link or a folder below one others may change
// refused.
#include "io/private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/file_system.h"
#include "support/temp_dir.h"

namespace prambus {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(PrivateFolder, IsMadeForTheUserAloneAndAnOwnOpenOneIsClosed) {
  TempDir dir;
  const std::string cache = dir.File("home/.cache/prambus");
  EXPECT_EQ(CheckPrivateFolder(cache), FolderTrust::kMissing);
  ASSERT_TRUE(EnsurePrivateFolder(cache));
  EXPECT_EQ(ModeOf(cache), 0700u);
  EXPECT_EQ(ModeOf(dir.File("home/.cache")), 0700u);  // parents made too
  EXPECT_EQ(CheckPrivateFolder(cache), FolderTrust::kPrivate);
  // One an earlier version made 0755.
  ::chmod(cache.c_str(), 0755);
  EXPECT_EQ(CheckPrivateFolder(cache), FolderTrust::kOpenToOthers);
  EXPECT_TRUE(EnsurePrivateFolder(cache));
  EXPECT_EQ(ModeOf(cache), 0700u);
}

TEST(PrivateFolder, ALinkAFileOrAnUnsafePathIsRefused) {
  TempDir dir;
  ::chmod(dir.path().c_str(), 0755);
  const std::string real = dir.File("real");
  ASSERT_TRUE(EnsurePrivateFolder(real));
  ASSERT_EQ(::symlink(real.c_str(), dir.File("link").c_str()), 0);
  EXPECT_EQ(CheckPrivateFolder(dir.File("link")), FolderTrust::kNotFolder);
  EXPECT_FALSE(EnsurePrivateFolder(dir.File("link")));
  TempDir::Write(dir.File("file"), "");
  EXPECT_FALSE(EnsurePrivateFolder(dir.File("file")));
  // Below a folder everyone may write to (and not sticky): someone else
  // could swap the folder for their own.
  const std::string open = dir.File("open");
  ASSERT_EQ(::mkdir(open.c_str(), 0777), 0);
  ::chmod(open.c_str(), 0777);
  EXPECT_FALSE(EnsurePrivateFolder(open + "/prambus"));
  EXPECT_EQ(CheckPrivateFolder(open + "/prambus"), FolderTrust::kUnsafePath);
  ::chmod(open.c_str(), 01777);  // sticky, as /tmp is
  EXPECT_TRUE(EnsurePrivateFolder(open + "/prambus"));
}

TEST(PrivateFolder, AnotherUsersFolderIsNeverUsedNorChanged) {
  const auto nobody = Nobody();
  if (!nobody) GTEST_SKIP() << "needs root and the user nobody to own the folder";
  TempDir dir;
  const std::string theirs = dir.File("theirs");
  ASSERT_EQ(::mkdir(theirs.c_str(), 0777), 0);
  ::chmod(theirs.c_str(), 0777);
  ASSERT_EQ(::chown(theirs.c_str(), nobody->uid, nobody->gid), 0);
  EXPECT_EQ(CheckPrivateFolder(theirs), FolderTrust::kForeignOwner);
  EXPECT_FALSE(EnsurePrivateFolder(theirs));
  EXPECT_EQ(ModeOf(theirs), 0777u);
  // Nor is a file of theirs removed as if it were one's own.
  TempDir::Write(dir.File("their file"), "x");
  ASSERT_EQ(::chown(dir.File("their file").c_str(), nobody->uid, nobody->gid), 0);
  EXPECT_FALSE(RemoveOwnFile(dir.File("their file")));
  TempDir::Write(dir.File("mine"), "x");
  EXPECT_TRUE(RemoveOwnFile(dir.File("mine")));
}

}  // namespace
}  // namespace prambus
