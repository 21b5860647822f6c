// A document's file changed behind its back: what the comparison with the
// disk tells for each way another program can change a file, and what the
// window is told to do about it, on activation and before a save.
#include "shell/disk_watch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include "support/temp_dir.h"

namespace prambus {
namespace {

// Sets the file's modification time (and so moves its status-change time).
void SetModified(const std::string& file, const DiskIdentity& to) {
  const timespec times[2] = {{0, UTIME_OMIT}, {to.modifiedSeconds, to.modifiedNanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

class DiskWatchTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string file_ = dir_.File("f.txt");
  DiskIdentity Loaded(const std::string& bytes) {
    TempDir::Write(file_, bytes);
    return WithContentHash(file_, DiskIdentityOf(file_));
  }
};

TEST_F(DiskWatchTest, EachWayOfChangingTheFileIsTold) {
  DiskIdentity remembered = Loaded("original line\r\n");
  ASSERT_TRUE(remembered.hashed);
  EXPECT_EQ(CompareWithDisk(file_, remembered), DiskChange::kNone);

  TempDir::Write(file_, "original line\r\nappended\r\n");  // written in place, longer
  EXPECT_EQ(CompareWithDisk(file_, remembered), DiskChange::kChanged);

  remembered = Loaded("one");
  TempDir::Write(file_ + ".new", "one");  // the same bytes in a new file put in its place
  ASSERT_EQ(std::rename((file_ + ".new").c_str(), file_.c_str()), 0);
  DiskIdentity now;
  EXPECT_EQ(CompareWithDisk(file_, remembered, &now), DiskChange::kChanged);
  EXPECT_NE(now.inode, remembered.inode);

  remembered = Loaded("one");
  ASSERT_EQ(std::remove(file_.c_str()), 0);
  EXPECT_EQ(CompareWithDisk(file_, remembered, &now), DiskChange::kGone);
  EXPECT_FALSE(now.known);

  // No file to compare with: an untitled or recovered document.
  DiskIdentity none;
  EXPECT_EQ(CompareWithDisk("", none), DiskChange::kNone);
  EXPECT_EQ(CompareWithDisk(file_, none), DiskChange::kNone);
}

TEST_F(DiskWatchTest, OnlyTheContentTellsATouchFromARewriteOfTheSameSizeAndTime) {
  DiskIdentity remembered = Loaded("same size");
  const DiskIdentity first = remembered;
  // Touched: new times, the same bytes. No change, and the new times are
  // remembered so the content is not read at the next look.
  SetModified(file_, {.modifiedSeconds = first.modifiedSeconds + 10});
  EXPECT_EQ(CompareWithDisk(file_, remembered), DiskChange::kNone);
  EXPECT_EQ(remembered.modifiedSeconds, first.modifiedSeconds + 10);
  EXPECT_TRUE(remembered.SameStatus(DiskIdentityOf(file_)));

  // Other bytes of the same length, the modification time set back to the
  // remembered one: the status-change time and the content still tell.
  const DiskIdentity before = remembered;
  TempDir::Write(file_, "other one");
  SetModified(file_, before);
  const DiskIdentity now = DiskIdentityOf(file_);
  EXPECT_EQ(now.size, before.size);
  EXPECT_EQ(now.modifiedNanoseconds, before.modifiedNanoseconds);
  EXPECT_EQ(CompareWithDisk(file_, remembered), DiskChange::kChanged);

  // Without a hash (a file that changed while it was read) a touch counts
  // as a change: better asked once too often than written over.
  DiskIdentity unhashed = DiskIdentityOf(file_);
  SetModified(file_, {.modifiedSeconds = unhashed.modifiedSeconds + 5});
  EXPECT_EQ(CompareWithDisk(file_, unhashed), DiskChange::kChanged);
}

TEST_F(DiskWatchTest, TheHashTellsContentsApartToTheLastByte) {
  uint64_t a = 0, b = 0, c = 0, d = 0;
  TempDir::Write(file_, "abcdefgh1");
  ASSERT_TRUE(HashFileContent(file_, a));
  TempDir::Write(file_, "abcdefgh2");
  ASSERT_TRUE(HashFileContent(file_, b));
  TempDir::Write(file_, std::string("abcdefgh1\0", 10));  // a zero more at the end
  ASSERT_TRUE(HashFileContent(file_, c));
  TempDir::Write(file_, std::string(3 << 20, 'x') + "1");  // across read blocks
  ASSERT_TRUE(HashFileContent(file_, d));
  EXPECT_NE(a, b);
  EXPECT_NE(a, c);
  EXPECT_NE(a, d);
  uint64_t again = 0;
  ASSERT_TRUE(HashFileContent(file_, again));
  EXPECT_EQ(again, d);
  EXPECT_FALSE(HashFileContent(dir_.File("missing"), again));
  EXPECT_FALSE(HashFileContent(dir_.path(), again));  // a folder is no content
}

// The decisions, with identities made up: a version of the file is asked
// about once on activation, always before a save.
TEST(DiskWatch, AsksOncePerVersionOnActivationAndAlwaysBeforeASave) {
  const DiskIdentity v1{.known = true, .inode = 1, .size = 5};
  const DiskIdentity v2{.known = true, .inode = 2, .size = 5};
  DiskWatch w;
  EXPECT_EQ(w.OnActivation(DiskChange::kNone, v1, false, false), DiskAction::kNothing);
  EXPECT_EQ(w.OnActivation(DiskChange::kChanged, v1, false, false), DiskAction::kAskToReload);
  EXPECT_EQ(w.OnActivation(DiskChange::kChanged, v1, false, false), DiskAction::kNothing);
  EXPECT_EQ(w.OnActivation(DiskChange::kChanged, v1, true, false), DiskAction::kNothing);
  // Changed once more: asked again, now about the edits.
  EXPECT_EQ(w.OnActivation(DiskChange::kChanged, v2, true, false), DiskAction::kAskAboutEdits);
  EXPECT_EQ(w.BeforeSave(DiskChange::kChanged), DiskAction::kAskToOverwrite);
  EXPECT_EQ(w.BeforeSave(DiskChange::kChanged), DiskAction::kAskToOverwrite);
  EXPECT_EQ(w.BeforeSave(DiskChange::kGone), DiskAction::kNothing);  // written anew
  EXPECT_EQ(w.BeforeSave(DiskChange::kNone), DiskAction::kNothing);

  // Loaded or saved again: the same version is news again.
  w.Settled();
  EXPECT_EQ(w.OnActivation(DiskChange::kChanged, v2, false, false), DiskAction::kAskToReload);

  // The quiet setting reloads an unmodified document every time, never one
  // with edits.
  DiskWatch quiet;
  EXPECT_EQ(quiet.OnActivation(DiskChange::kChanged, v1, false, true), DiskAction::kReloadQuietly);
  EXPECT_EQ(quiet.OnActivation(DiskChange::kChanged, v1, false, true), DiskAction::kReloadQuietly);
  EXPECT_EQ(quiet.OnActivation(DiskChange::kChanged, v1, true, true), DiskAction::kAskAboutEdits);
}

TEST(DiskWatch, AFileGoneIsToldOnceUntilItComesBack) {
  const DiskIdentity back{.known = true, .inode = 7, .size = 1};
  DiskWatch w;
  EXPECT_EQ(w.OnActivation(DiskChange::kGone, {}, false, false), DiskAction::kTellGone);
  EXPECT_EQ(w.OnActivation(DiskChange::kGone, {}, true, false), DiskAction::kNothing);
  EXPECT_EQ(w.OnActivation(DiskChange::kChanged, back, true, false), DiskAction::kAskAboutEdits);
  EXPECT_EQ(w.OnActivation(DiskChange::kGone, {}, true, false), DiskAction::kTellGone);
}

}  // namespace
}  // namespace prambus
