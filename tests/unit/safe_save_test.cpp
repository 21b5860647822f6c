// Saving never loses a file: every way a save can meet the file system ends
// with the original intact or the new content complete, nothing left behind,
// and a message that tells the truth.
#include "shell/safe_save.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "io/io_error.h"
#include "io/posix_file.h"
#include "settings/data_file.h"
#include "shell/file_messages.h"
#include "support/file_system.h"
#include "support/temp_dir.h"

// Makes the file system refuse RENAME_NOREPLACE as some do (network and
// user-space file systems), while the test asks for it; otherwise renames as
// the C library would.
namespace {
bool refuseNoReplace = false;
}  // namespace

extern "C" int renameat2(int oldDir, const char* oldPath, int newDir, const char* newPath,
                         unsigned int flags) noexcept {
  if (refuseNoReplace && (flags & RENAME_NOREPLACE) != 0) {
    errno = EINVAL;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_renameat2, oldDir, oldPath, newDir, newPath, flags));
}

namespace prambus {
namespace {

ContentWriter Writer(const std::string& text) {
  return [text](int fd) {
    OutputFile out = OutputFile::Borrowing(fd);
    out.Write(text.data(), text.size());
  };
}

// Writes part of the text, then fails as a disk would.
ContentWriter FailingWriter(const std::string& text) {
  return [text](int fd) {
    OutputFile out = OutputFile::Borrowing(fd);
    out.Write(text.data(), text.size() / 2);
    throw IoError("the disk failed", FileProblem::kOther, EIO);
  };
}

struct stat Stat(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st;
}

// What a save did, in a word, so outcomes read plainly in assertions (and
// travel back from a child process).
std::string Summary(const SaveOutcome& o) {
  if (o.result == SaveResult::kReadOnly) return "read-only";
  if (o.Saved()) return o.method == SaveMethod::kRename ? "renamed" : "in place";
  return "failed";
}

class SafeSaveTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.File(name); }
  static std::string Read(const std::string& p) { return TempDir::Read(p); }
  static void Write(const std::string& p, const std::string& s) { TempDir::Write(p, s); }
  // The names in a folder: a save leaves no temporary file or backup behind.
  static std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  SaveOutcome Save(const std::string& path, const ContentWriter& write, bool tryReadOnly = false) {
    SaveOptions options;
    options.tryReadOnly = tryReadOnly;
    options.backupFolder = backups_.path();
    return SaveSafely(path, options, write);
  }
  SaveOutcome Save(const std::string& path, const std::string& text) {
    return Save(path, Writer(text));
  }

  TempDir dir_;
  TempDir backups_;
  using Names_ = std::vector<std::string>;
};

TEST_F(SafeSaveTest, ARenameReplacesTheFileWithItsModeAndFollowsLinks) {
  const std::string doc = Path("doc.txt");
  Write(doc, "old");
  ::chmod(doc.c_str(), 0640);
  const SaveOutcome o = Save(doc, "new");
  EXPECT_EQ(Summary(o), "renamed");
  EXPECT_EQ(Read(doc), "new");
  EXPECT_EQ(Stat(doc).st_mode & 07777, 0640u);
  EXPECT_EQ(Names(dir_.path()), Names_({"doc.txt"}));
  // A new file gets the mode any new file gets.
  const mode_t mask = ::umask(022);
  EXPECT_EQ(Summary(Save(Path("new.txt"), "fresh")), "renamed");
  ::umask(mask);
  EXPECT_EQ(Stat(Path("new.txt")).st_mode & 07777, 0644u);
  // Through a relative symbolic link: the file it names is saved, the link stays.
  ASSERT_EQ(::symlink("doc.txt", Path("link.txt").c_str()), 0);
  EXPECT_TRUE(Save(Path("link.txt"), "via link").Saved());
  EXPECT_EQ(Read(doc), "via link");
  EXPECT_TRUE(S_ISLNK(Stat(Path("link.txt")).st_mode));
  // Empty files both ways.
  EXPECT_TRUE(Save(doc, "").Saved());
  EXPECT_EQ(Stat(doc).st_size, 0);
  EXPECT_TRUE(Save(doc, "x").Saved());
  EXPECT_EQ(Read(doc), "x");
}

// Where the file system cannot rename without replacing, a new file is
// renamed into place plainly.
TEST_F(SafeSaveTest, ANewFileIsSavedWhereRenamingCannotRefuseToReplace) {
  refuseNoReplace = true;
  const SaveOutcome o = Save(Path("new.txt"), "fresh");
  refuseNoReplace = false;
  EXPECT_EQ(Summary(o), "renamed");
  EXPECT_EQ(Read(Path("new.txt")), "fresh");
  EXPECT_EQ(Names(dir_.path()), (Names_{"new.txt"}));
}

TEST_F(SafeSaveTest, AFailedWriteLeavesTheOriginalAndNothingElse) {
  const std::string doc = Path("doc.txt");
  Write(doc, "original text");
  SaveOutcome o = Save(doc, FailingWriter("replacement text"));
  EXPECT_EQ(Summary(o), "failed");
  EXPECT_TRUE(o.originalIntact);
  EXPECT_EQ(Read(doc), "original text");
  EXPECT_EQ(Names(dir_.path()), Names_({"doc.txt"}));
  EXPECT_EQ(SaveFailedMessage(doc, o),
            "Не могу сохранить изменения: система сообщила об ошибке с кодом 5. Файл на диске "
            "остался прежним.");
  // In place (a second name forces it): the old content is put back.
  ASSERT_EQ(::link(doc.c_str(), Path("other name").c_str()), 0);
  const ino_t inode = Stat(doc).st_ino;
  o = Save(doc, FailingWriter("a much longer replacement text than before"));
  EXPECT_EQ(o.method, SaveMethod::kInPlace);
  EXPECT_TRUE(o.originalIntact);
  EXPECT_EQ(Read(doc), "original text");
  EXPECT_EQ(Stat(doc).st_ino, inode);
  EXPECT_EQ(Names(dir_.path()), Names_({"doc.txt", "other name"}));
  EXPECT_TRUE(Names(backups_.path()).empty());
}

TEST_F(SafeSaveTest, HardLinksKeepTheirOtherNames) {
  const std::string a = Path("a.txt"), b = Path("b.txt");
  Write(a, "shared old content");
  ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
  const SaveOutcome o = Save(a, "new");
  EXPECT_EQ(Summary(o), "in place");
  EXPECT_EQ(Read(b), "new");
  EXPECT_EQ(Stat(a).st_ino, Stat(b).st_ino);
  EXPECT_EQ(Stat(a).st_nlink, 2u);
  EXPECT_EQ(Names(dir_.path()), Names_({"a.txt", "b.txt"}));
  EXPECT_TRUE(Names(backups_.path()).empty());
}

TEST_F(SafeSaveTest, ReadOnlyFilesNeedPermissionAndStayReadOnly) {
  const std::string doc = Path("ro.txt");
  Write(doc, "keep");
  ::chmod(doc.c_str(), 0444);
  const SaveOutcome refused = Save(doc, "new");
  EXPECT_EQ(Summary(refused), "read-only");
  EXPECT_EQ(SaveFailedMessage(doc, refused),
            "По всей видимости, файл защищён от записи. Не могу сохранить изменения.");
  EXPECT_EQ(Read(doc), "keep");
  EXPECT_EQ(Summary(Save(doc, Writer("new"), true)), "renamed");
  EXPECT_EQ(Read(doc), "new");
  EXPECT_EQ(Stat(doc).st_mode & 07777, 0444u);
  // In place, too.
  ASSERT_EQ(::link(doc.c_str(), Path("ro-link.txt").c_str()), 0);
  EXPECT_EQ(Summary(Save(doc, Writer("newer"), true)), "in place");
  EXPECT_EQ(Read(Path("ro-link.txt")), "newer");
  EXPECT_EQ(Stat(doc).st_mode & 07777, 0444u);
}

TEST_F(SafeSaveTest, NamesPlantedInASharedFolderAreNeverFollowed) {
  // Another user may create anything in a sticky world-writable folder; the
  // save must not write through a link planted at a name it might use.
  ::chmod(dir_.path().c_str(), 01777);
  const std::string doc = Path("doc.txt"), victim = Path("victim");
  Write(doc, "document");
  Write(victim, "someone's file");
  for (const char* planted : {"doc.txt.prambus-save", ".doc.txt.prambus-save", "doc.txt.tmp"})
    ASSERT_EQ(::symlink(victim.c_str(), Path(planted).c_str()), 0);
  mode_t copyMode = 0;
  uid_t copyOwner = 0;
  EXPECT_TRUE(Save(doc, [&](int fd) {
                struct stat st {};
                ::fstat(fd, &st);
                copyMode = st.st_mode & 07777;
                copyOwner = st.st_uid;
                Writer("saved")(fd);
              }).Saved());
  EXPECT_EQ(copyMode, 0600u);  // private while it is written
  EXPECT_EQ(copyOwner, ::geteuid());
  EXPECT_EQ(Read(victim), "someone's file");
  EXPECT_TRUE(S_ISREG(Stat(doc).st_mode));
  EXPECT_EQ(Read(doc), "saved");
}

TEST_F(SafeSaveTest, TheCopyCannotBeReadByOthersWhileItIsWritten) {
  const auto nobody = Nobody();
  if (!nobody) GTEST_SKIP() << "needs root and the user nobody to try reading as another user";
  ::chmod(dir_.path().c_str(), 01777);
  const std::string doc = Path("secret.txt");
  Write(doc, "secret");
  ::chmod(doc.c_str(), 0644);  // readable once saved, but not half-written
  std::optional<std::string> attempt;
  EXPECT_TRUE(Save(doc, [&](int fd) {
                Writer("new secret")(fd);
                const std::string copy =
                    std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd));
                attempt = RunAs(*nobody, [copy] {
                  const int other = ::open(copy.c_str(), O_RDONLY);
                  return std::string(other < 0 ? "refused" : "read");
                });
              }).Saved());
  EXPECT_EQ(attempt, "refused");
}

TEST_F(SafeSaveTest, AnotherUsersFileKeepsItsOwnerGroupAndMode) {
  const auto nobody = Nobody();
  if (!nobody) GTEST_SKIP() << "needs root and the user nobody to own the file";
  const std::string doc = Path("theirs.txt");
  Write(doc, "old");
  ASSERT_EQ(::chown(doc.c_str(), nobody->uid, nobody->gid), 0);
  ::chmod(doc.c_str(), 0640);
  EXPECT_EQ(Summary(Save(doc, "new")), "renamed");
  const struct stat st = Stat(doc);
  EXPECT_EQ(st.st_uid, nobody->uid);
  EXPECT_EQ(st.st_gid, nobody->gid);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Read(doc), "new");
}

TEST_F(SafeSaveTest, AUserWhoCannotGiveAFileAwayRewritesItInPlace) {
  const auto nobody = Nobody();
  if (!nobody) GTEST_SKIP() << "needs root and the user nobody to save as another user";
  // root's file, writable by nobody's group, in nobody's folder: a copy
  // renamed over it would steal it from root.
  ::chmod(dir_.path().c_str(), 0755);
  const std::string folder = Path("nobodys");
  ::mkdir(folder.c_str(), 0755);
  ASSERT_EQ(::chown(folder.c_str(), nobody->uid, nobody->gid), 0);
  const std::string doc = folder + "/roots.txt";
  Write(doc, "root's text");
  ASSERT_EQ(::chown(doc.c_str(), 0, nobody->gid), 0);
  ::chmod(doc.c_str(), 0664);
  const ino_t inode = Stat(doc).st_ino;
  EXPECT_EQ(RunAs(*nobody, [&] { return Summary(SaveSafely(doc, {}, Writer("edited"))); }),
            "in place");
  EXPECT_EQ(Read(doc), "edited");
  EXPECT_EQ(Stat(doc).st_uid, 0u);
  EXPECT_EQ(Stat(doc).st_ino, inode);
  EXPECT_EQ(Names(folder), Names_({"roots.txt"}));
}

TEST_F(SafeSaveTest, AWritableFileInAReadOnlyFolderIsSaved) {
  const auto nobody = Nobody();
  if (!nobody) GTEST_SKIP() << "needs root and the user nobody (root may write any folder)";
  ::chmod(dir_.path().c_str(), 0755);
  const std::string folder = Path("locked");
  ::mkdir(folder.c_str(), 0755);
  const std::string doc = folder + "/mine.txt";
  Write(doc, "before");
  ASSERT_EQ(::chown(doc.c_str(), nobody->uid, nobody->gid), 0);
  ::chmod(folder.c_str(), 0555);
  ASSERT_EQ(::chown(backups_.path().c_str(), nobody->uid, nobody->gid), 0);
  ::chmod(backups_.path().c_str(), 0755);  // as an earlier version made the cache
  const std::string cache = backups_.path();
  EXPECT_EQ(RunAs(*nobody,
                  [&] {
                    SaveOptions options;
                    options.backupFolder = cache;
                    return Summary(SaveSafely(doc, options, Writer("after")));
                  }),
            "in place");
  EXPECT_EQ(Read(doc), "after");
  EXPECT_EQ(Names(folder), Names_({"mine.txt"}));
  EXPECT_TRUE(Names(cache).empty());
  EXPECT_EQ(Stat(cache).st_mode & 07777, 0700u);  // the backups' folder is the user's alone
  // A new file there cannot be made, and the message says where the problem is.
  const std::string fresh = folder + "/new.txt";
  EXPECT_EQ(
      RunAs(*nobody, [&] { return SaveFailedMessage(fresh, SaveSafely(fresh, {}, Writer("x"))); }),
      "Не могу сохранить изменения: в папку «" + folder + "» мне нельзя записывать.");
}

TEST_F(SafeSaveTest, ExtendedAttributesAndAclsAreKept) {
  if (!SupportsExtendedAttributes(dir_.path()))
    GTEST_SKIP() << "the file system of " << dir_.path() << " has no extended attributes or ACLs";
  const std::string doc = Path("acl.txt");
  Write(doc, "old");
  const std::string acl = AclGrantingRead(65534);
  ASSERT_EQ(::setxattr(doc.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
  ASSERT_EQ(::setxattr(doc.c_str(), "user.comment", "kept", 4, 0), 0);
  const auto aclBefore = Attribute(doc, "system.posix_acl_access");
  const mode_t modeBefore = Stat(doc).st_mode & 07777;
  EXPECT_TRUE(Save(doc, "new").Saved());
  EXPECT_EQ(Read(doc), "new");
  EXPECT_EQ(Attribute(doc, "system.posix_acl_access"), aclBefore);
  EXPECT_EQ(Attribute(doc, "user.comment"), "kept");
  EXPECT_EQ(Stat(doc).st_mode & 07777, modeBefore);
  // A folder's default ACL would reach a new copy; a file that had no ACL
  // does not get one by being saved.
  const std::string plain = Path("plain.txt");
  Write(plain, "old");
  ASSERT_EQ(::setxattr(dir_.path().c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0),
            0);
  EXPECT_TRUE(Save(plain, "new").Saved());
  EXPECT_EQ(Attribute(plain, "system.posix_acl_access"), std::nullopt);
}

TEST_F(SafeSaveTest, AFullDiskLeavesTheOriginal) {
  const std::string disk = Path("small");
  ::mkdir(disk.c_str(), 0755);
  SmallTmpfs tmpfs(disk, 1 << 20);
  if (!tmpfs.Mounted()) GTEST_SKIP() << tmpfs.Why();
  const std::string doc = disk + "/doc.txt", old(300 << 10, 'o'), big(900 << 10, 'n');
  Write(doc, old);
  // By rename: the copy does not fit.
  SaveOutcome o = Save(doc, big);
  EXPECT_EQ(Summary(o), "failed");
  EXPECT_EQ(o.problem, FileProblem::kNoSpace);
  EXPECT_TRUE(Read(doc) == old);
  EXPECT_EQ(Names(disk), Names_({"doc.txt"}));
  EXPECT_EQ(SaveFailedMessage(doc, o),
            "Не могу сохранить изменения: на диске не хватает места. Файл на диске остался "
            "прежним.");
  // In place, the backup going elsewhere when the disk has no room for it.
  ASSERT_EQ(::link(doc.c_str(), (disk + "/link").c_str()), 0);
  Write(disk + "/filler", std::string(500 << 10, 'f'));
  o = Save(doc, big);
  EXPECT_EQ(o.method, SaveMethod::kInPlace);
  EXPECT_EQ(o.problem, FileProblem::kNoSpace);
  EXPECT_TRUE(o.originalIntact);
  EXPECT_TRUE(Read(doc) == old);
  EXPECT_TRUE(Names(backups_.path()).empty());
  // A shorter text fits in place.
  EXPECT_EQ(Summary(Save(doc, "short")), "in place");
  EXPECT_EQ(Read(disk + "/link"), "short");
  // With no room for a backup anywhere, nothing is written.
  Write(doc, old);
  SaveOptions noRoom;
  ::chmod(disk.c_str(), 0755);  // a backup folder is used only below folders no one else may change
  noRoom.backupFolder = disk + "/backups";
  o = SaveSafely(doc, noRoom, Writer("x"));
  EXPECT_TRUE(o.noBackup);
  EXPECT_EQ(o.method, SaveMethod::kNone);
  EXPECT_TRUE(Read(doc) == old);
  EXPECT_EQ(SaveFailedMessage(doc, o),
            "Не могу сохранить изменения: файл приходится переписывать на его месте, а сделать "
            "резервную копию прежнего содержимого не получилось (на диске не хватает места). "
            "Файл на диске остался прежним.");
}

TEST_F(SafeSaveTest, AVanishedFolderIsReportedAsSuch) {
  const std::string folder = Path("sub"), doc = folder + "/doc.txt";
  ::mkdir(folder.c_str(), 0755);
  Write(doc, "text");
  std::filesystem::remove_all(folder);
  const SaveOutcome o = Save(doc, "changed");
  EXPECT_EQ(o.problem, FileProblem::kMissing);
  EXPECT_EQ(SaveFailedMessage(doc, o),
            "Не могу сохранить изменения: папки «" + folder + "» больше нет.");
}

TEST_F(SafeSaveTest, AFileReplacedByAnotherProgramDuringTheSaveIsNotOverwritten) {
  const std::string doc = Path("doc.txt");
  auto replacing = [&](int fd) {
    Writer("ours")(fd);
    Write(Path("incoming"), "theirs");  // another program saves its own way
    ::rename(Path("incoming").c_str(), doc.c_str());
  };
  Write(doc, "old");
  SaveOutcome o = Save(doc, replacing);
  EXPECT_EQ(o.problem, FileProblem::kReplaced);
  EXPECT_EQ(Read(doc), "theirs");
  EXPECT_EQ(Names(dir_.path()), Names_({"doc.txt"}));
  EXPECT_NE(SaveFailedMessage(doc, o).find("другая программа заменила или изменила"),
            std::string::npos);
  // In place: the new text went to a file that no longer has the name.
  Write(doc, "old");
  ASSERT_EQ(::link(doc.c_str(), Path("second").c_str()), 0);
  o = Save(doc, replacing);
  EXPECT_EQ(o.method, SaveMethod::kInPlace);
  EXPECT_EQ(o.problem, FileProblem::kReplaced);
  EXPECT_EQ(Read(doc), "theirs");
  EXPECT_TRUE(Names(backups_.path()).empty());
}

TEST_F(SafeSaveTest, OnlyRegularFilesAreSavedOver) {
  const std::string fifo = Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  SaveOutcome o = Save(fifo, "x");  // returns at once: a FIFO is never opened
  EXPECT_EQ(o.problem, FileProblem::kNotRegularFile);
  EXPECT_EQ(SaveFailedMessage(fifo, o), "Не могу сохранить изменения: «" + fifo +
                                            "» — не обычный файл, а канал, устройство или сокет.");
  EXPECT_EQ(Save("/dev/null", "x").problem, FileProblem::kNotRegularFile);
  EXPECT_EQ(Save(dir_.path(), "x").problem, FileProblem::kFolder);
}

TEST_F(SafeSaveTest, FilesOfTheLargestSizeSurviveBothWays) {
  constexpr off_t kLargest = 2147483647;  // 2^31 - 1, sparse: only the last byte is data
  const std::string doc = Path("large.bin");
  auto sparse = [](char last) {
    return [last](int fd) {
      if (::ftruncate(fd, kLargest - 1) != 0 || ::pwrite(fd, &last, 1, kLargest - 1) != 1 ||
          ::lseek(fd, kLargest, SEEK_SET) != kLargest)
        throw IoError::FromErrno("cannot write", errno);
    };
  };
  Write(doc, "");
  ASSERT_TRUE(Save(doc, sparse('A')).Saved());
  EXPECT_EQ(Stat(doc).st_size, kLargest);
  if (Stat(doc).st_blocks > 1024) GTEST_SKIP() << "the file system keeps no holes";
  auto lastByte = [&] {
    char c = 0;
    const int fd = ::open(doc.c_str(), O_RDONLY);
    ::pread(fd, &c, 1, kLargest - 1);
    ::close(fd);
    return c;
  };
  EXPECT_EQ(lastByte(), 'A');
  // In place, failing after it began: the backup puts every byte back.
  ASSERT_EQ(::link(doc.c_str(), Path("large link").c_str()), 0);
  const SaveOutcome o = Save(doc, FailingWriter(std::string(4096, 'x')));
  EXPECT_EQ(o.method, SaveMethod::kInPlace);
  EXPECT_TRUE(o.originalIntact);
  EXPECT_EQ(Stat(doc).st_size, kLargest);
  EXPECT_EQ(lastByte(), 'A');
  EXPECT_TRUE(Save(doc, sparse('B')).Saved());
  EXPECT_EQ(lastByte(), 'B');
}

TEST_F(SafeSaveTest, TheSettingsFileIsSavedTheSameWay) {
  const std::string data = Path("data.dat");
  StoredState state;
  Settings settings;
  settings.MaxUndoLen = 12345;
  Write(data, "old settings");
  ASSERT_EQ(::link(data.c_str(), Path("data link").c_str()), 0);
  ASSERT_TRUE(WriteDataFile(data, state, settings));
  StoredState back;
  Settings read;
  ASSERT_TRUE(ReadDataFile(Path("data link"), back, read));
  EXPECT_EQ(read.MaxUndoLen, 12345);
  // A FIFO named data.dat neither blocks the start nor the end.
  const std::string fifo = Path("fifo.dat");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_FALSE(ReadDataFile(fifo, back, read));
  EXPECT_FALSE(WriteDataFile(fifo, state, settings));
}

}  // namespace
}  // namespace prambus
