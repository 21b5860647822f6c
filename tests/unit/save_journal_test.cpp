// The files a save leaves on the disk while it runs are accounted for: a
// program killed at any point of a save leaves the file with its old
// content or its new one, or a record that offers the backup back, and the
// next start removes every temporary copy.
#include "shell/save_journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "io/posix_file.h"
#include "shell/safe_save.h"
#include "support/file_system.h"
#include "support/temp_dir.h"

// A save killed while the disk takes the flush of the file: this binary's
// fsync stops, when told to, at the flush of one file, so that a test can
// kill the program exactly there.
namespace {
ino_t stopAtFlushOf = 0;
int flushReached = -1;  // told "k" when stopped there
}  // namespace

extern "C" int fsync(int fd) {
  struct stat st {};
  if (stopAtFlushOf != 0 && ::fstat(fd, &st) == 0 && st.st_ino == stopAtFlushOf) {
    [[maybe_unused]] const ssize_t told = ::write(flushReached, "k", 1);
    ::pause();  // killed here
  }
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace prambus {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

SaveRecord On(SaveStage stage, const std::string& target) {
  SaveRecord r;
  r.stage = stage;
  r.target = target;
  return r;
}

// Runs step in a child that ends without cleaning up, as a killed program
// does: whatever it has on record stays, unlocked.
void DieAfter(const std::function<void()>& step) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    step();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
}

TEST(SaveRecord, ReadsBackWhatItWroteAndNothingElse) {
  // A name that is not text (Latin-1 "é", a line break) is kept byte for byte.
  const SaveRecord r{SaveStage::kRewriting,
                     "/home/u/caf\xe9\n.txt",
                     "/home/u/caf\xe9\n.txt.prambus-backup-Ab3dE9",
                     2049,
                     18446744073709551615ull,
                     "0b6e3f52-5c1d-4c8e-9b0e-2d6c1f0a7e11"};
  const std::string text = FormatSaveRecord(r);
  EXPECT_EQ(ParseSaveRecord(text), r);
  // A record of an earlier version ends before the boot and names none.
  const size_t boot = text.find("boot ");
  SaveRecord older = r;
  older.boot.clear();
  EXPECT_EQ(ParseSaveRecord(text.substr(0, boot)), older);
  EXPECT_EQ(FormatSaveRecord(older), text.substr(0, boot));
  EXPECT_FALSE(ParseSaveRecord(text.substr(0, boot) + "boot 0\n\n"));  // read back otherwise
  for (size_t cut = 0; cut < text.size(); ++cut) {
    if (cut == boot) continue;
    EXPECT_FALSE(ParseSaveRecord(text.substr(0, cut))) << cut;
  }
  EXPECT_FALSE(ParseSaveRecord(text + "\n"));
  std::string stage = text;
  stage[stage.find("stage ") + 6] = 'x';
  EXPECT_FALSE(ParseSaveRecord(stage));
  // A record naming no leftover names nothing to remove.
  EXPECT_FALSE(ParseSaveRecord(FormatSaveRecord({SaveStage::kTemporary, "/a", "", 0, 0, {}})));
}

// Only a file that may hold new bytes followed by old ones has its backup
// offered: one written to the end is whole for as long as the system that
// held its bytes ran, whatever happened to the program.
TEST(SaveRecord, OnlyAFileThatMayBeHalfWrittenIsOffered) {
  const std::string now = "boot-now";
  auto at = [](SaveStage stage, const std::string& boot) {
    return SaveRecord{stage, "/d", "/d.prambus-backup-Ab3dE9", 1, 2, boot};
  };
  EXPECT_TRUE(MayBeHalfWritten(at(SaveStage::kRewriting, now), now));
  EXPECT_TRUE(MayBeHalfWritten(at(SaveStage::kRewriting, "boot-before"), now));
  EXPECT_FALSE(MayBeHalfWritten(at(SaveStage::kWritten, now), now));
  EXPECT_TRUE(MayBeHalfWritten(at(SaveStage::kWritten, "boot-before"), now));
  EXPECT_TRUE(MayBeHalfWritten(at(SaveStage::kWritten, ""), ""));
  for (SaveStage s : {SaveStage::kTemporary, SaveStage::kBackingUp, SaveStage::kSettled})
    EXPECT_FALSE(MayBeHalfWritten(at(s, "boot-before"), now));
}

// A program started with standard input closed opens the boot's name as
// descriptor 0: it is read all the same, or every file written to the end
// would count as maybe half-written. The boot is read once per process, so
// the check runs in a freshly started one.
TEST(SaveRecordDeathTest, TheBootIsKnownWithStandardInputClosed) {
  const char* bootFile = "/proc/sys/kernel/random/boot_id";
  if (::access(bootFile, R_OK) != 0) GTEST_SKIP() << "no boot id here";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::close(0);
        const std::string boot = CurrentBoot();
        std::string expected = TempDir::Read(bootFile);
        while (!expected.empty() && expected.back() == '\n') expected.pop_back();
        std::_Exit(!boot.empty() && boot == expected ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

class SaveJournalTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.File(name); }
  std::vector<std::string> Records() const {
    return fs::exists(journal_) ? Names(journal_) : std::vector<std::string>{};
  }
  TempDir dir_, home_;
  const std::string journal_ = home_.File("state/prambus/saves");
};

TEST_F(SaveJournalTest, AFileIsOnRecordWhileItExistsAndLockedWhileItsProgramRuns) {
  std::string recordPath;
  {
    RecordedFile f(Path("doc.txt.prambus-backup-"), "", On(SaveStage::kBackingUp, Path("doc.txt")),
                   journal_);
    ASSERT_TRUE(f.created());
    EXPECT_TRUE(f.OnRecord());
    EXPECT_EQ(f.path().size(), Path("doc.txt.prambus-backup-").size() + 6);
    struct stat st {};
    ASSERT_EQ(::fstat(f.fd(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    // The journal folder is made for the user alone.
    ASSERT_EQ(::stat(journal_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ASSERT_EQ(Records().size(), 1u);
    recordPath = journal_ + "/" + Records()[0];
    // Another start finds it held and leaves it alone.
    EXPECT_TRUE(ClearLeftoverSaves(journal_).empty());
    EXPECT_TRUE(fs::exists(f.path()));
    EXPECT_TRUE(f.Advance(SaveStage::kRewriting));
    EXPECT_TRUE(ClearLeftoverSaves(journal_).empty());
    EXPECT_NE(TempDir::Read(recordPath).find("stage r\n"), std::string::npos);
  }
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{});
  EXPECT_TRUE(Records().empty());
  // Without a journal (its folder cannot be made) the file is made all the same.
  TempDir::Write(Path("a file"), "");
  {
    RecordedFile f(Path("print-"), ".pdf", {}, Path("a file/journal"));
    EXPECT_TRUE(f.created());
    EXPECT_FALSE(f.OnRecord());
    EXPECT_FALSE(f.Advance(SaveStage::kRewriting));
  }
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"a file"});
}

// With standard input closed the file may get descriptor 0: it is the
// file, made without an error, not a failure.
TEST_F(SaveJournalTest, DescriptorZeroIsAFileLikeAnyOther) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(0);
    int code = 0;
    {
      errno = ENOENT;  // left over from an earlier call
      RecordedFile f(Path("print-"), ".pdf", {}, "");
      if (!f.created() || f.fd() != 0 || f.error() != 0) code = 1;
    }
    ::_exit(code);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{});
}

TEST_F(SaveJournalTest, WhatAKilledProgramLeftIsRemovedOrOffered) {
  TempDir::Write(Path("doc.txt"), "mixed");
  std::string temp, untouched, rewriting;
  DieAfter([&] {
    auto* t = new RecordedFile(Path(".doc.txt.prambus-"), "",
                               On(SaveStage::kTemporary, Path("doc.txt")), journal_);
    auto* b = new RecordedFile(Path("doc.txt.prambus-backup-"), "",
                               On(SaveStage::kBackingUp, Path("doc.txt")), journal_);
    auto* r = new RecordedFile(Path("doc.txt.prambus-backup-"), "",
                               On(SaveStage::kBackingUp, Path("doc.txt")), journal_);
    r->Advance(SaveStage::kRewriting);
    TempDir::Write(r->path(), "old");
    // Written to the end, killed while the flush waited for the disk.
    auto* w = new RecordedFile(Path("doc.txt.prambus-backup-"), "",
                               On(SaveStage::kBackingUp, Path("doc.txt")), journal_);
    w->Advance(SaveStage::kRewriting);
    w->Advance(SaveStage::kWritten);
    TempDir::Write(Path("paths"), t->path() + "\n" + b->path() + "\n" + r->path());
  });
  const std::string paths = TempDir::Read(Path("paths"));
  ::unlink(Path("paths").c_str());
  ASSERT_EQ(Records().size(), 4u);
  // The same, but the machine went down since: the disk may lack some of
  // the new bytes.
  const std::string before = Path("doc.txt.prambus-backup-Before");
  TempDir::Write(before, "old");
  TempDir::Write(journal_ + "/2-before.save",
                 FormatSaveRecord({SaveStage::kWritten, Path("doc.txt"), before, 0, 0, "gone"}));
  // A record its program did not finish writing names nothing.
  TempDir::Write(journal_ + "/1-unfinished.save-new", "prambus save 1\nsta");
  // A link, or someone else's file, at a leftover's name is not removed.
  const std::string planted = Path("planted"), link = Path("link");
  TempDir::Write(planted, "not ours");
  ASSERT_EQ(::symlink(planted.c_str(), link.c_str()), 0);
  const auto nobody = Nobody();
  if (nobody) ::chown(planted.c_str(), nobody->uid, nobody->gid);
  for (const std::string& leftover : {link, nobody ? planted : link})
    TempDir::Write(journal_ + "/" + fs::path(leftover).filename().string() + ".save",
                   FormatSaveRecord({SaveStage::kTemporary, Path("doc.txt"), leftover, 0, 0, {}}));

  std::vector<LeftoverSave> offered = ClearLeftoverSaves(journal_);
  ASSERT_EQ(offered.size(), 2u);
  const size_t r = offered[0].Record().stage == SaveStage::kRewriting ? 0 : 1;
  EXPECT_EQ(offered[r].Record().stage, SaveStage::kRewriting);
  EXPECT_EQ(offered[r].Record().target, Path("doc.txt"));
  EXPECT_TRUE(BackupPresent(offered[r].Record()));
  EXPECT_EQ(offered[1 - r].Record().leftover, before);
  // The temporary copy, the backup of the untouched file and that of the
  // file written to the end in this boot are gone.
  EXPECT_EQ(Names(dir_.path()).size(), 5u);  // doc.txt, planted, link, the offered backups
  EXPECT_TRUE(fs::exists(offered[r].Record().leftover));
  EXPECT_EQ(TempDir::Read(planted), "not ours");
  EXPECT_EQ(Records().size(), 2u);  // the offered ones
  // While this start holds the offer, another start does not see it.
  EXPECT_TRUE(ClearLeftoverSaves(journal_).empty());
  offered.clear();
  EXPECT_EQ(ClearLeftoverSaves(journal_).size(), 2u);  // not answered: asked again
}

TEST_F(SaveJournalTest, PuttingTheBackupBackRestoresTheFileInPlace) {
  const std::string doc = Path("doc.txt"), second = Path("second name");
  TempDir::Write(doc, "new bytes, then old");
  ASSERT_EQ(::link(doc.c_str(), second.c_str()), 0);
  struct stat st {};
  ::stat(doc.c_str(), &st);
  auto leave = [&](const std::string& target, uint64_t inode) {
    DieAfter([&] {
      auto* r =
          new RecordedFile(Path("doc.txt.prambus-backup-"), "",
                           {SaveStage::kBackingUp, target, {}, st.st_dev, inode, {}}, journal_);
      TempDir::Write(r->path(), "the old content");
      r->Advance(SaveStage::kRewriting);
    });
    std::vector<LeftoverSave> offered = ClearLeftoverSaves(journal_);
    EXPECT_EQ(offered.size(), 1u);
    return offered;
  };
  std::vector<LeftoverSave> offered = leave(doc, st.st_ino);
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(PutBackBackup(offered[0]).result, PutBackResult::kPutBack);
  EXPECT_EQ(TempDir::Read(second), "the old content");  // the same file, both names
  EXPECT_EQ(Names(dir_.path()), (std::vector<std::string>{"doc.txt", "second name"}));
  EXPECT_TRUE(Records().empty());

  // A file replaced since is not given the old content; the backup stays.
  offered = leave(doc, st.st_ino + 1);
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(PutBackBackup(offered[0]).result, PutBackResult::kTargetReplaced);
  EXPECT_EQ(TempDir::Read(doc), "the old content");
  EXPECT_TRUE(BackupPresent(offered[0].Record()));
  offered[0].Forget();
  EXPECT_TRUE(Records().empty());
  ::unlink(offered[0].Record().leftover.c_str());

  // A backup that is gone cannot be put back.
  offered = leave(doc, st.st_ino);
  ASSERT_EQ(offered.size(), 1u);
  ::unlink(offered[0].Record().leftover.c_str());
  EXPECT_FALSE(BackupPresent(offered[0].Record()));
  EXPECT_EQ(PutBackBackup(offered[0]).result, PutBackResult::kBackupMissing);
}

// ------------------------------------------------- a save killed midway

// A large file's bytes at once.
std::string ReadLarge(const std::string& path) {
  std::string bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return bytes;
  struct stat st {};
  ::fstat(fd, &st);
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  for (ssize_t n; done < bytes.size() && (n = ::read(fd, &bytes[done], bytes.size() - done)) > 0;)
    done += static_cast<size_t>(n);
  bytes.resize(done);
  ::close(fd);
  return bytes;
}

constexpr size_t kChunk = 1 << 20;
constexpr size_t kChunks = 8;  // an 8 MB document

// On a tmpfs where one can be mounted, so that flushing to the disk does
// not take the test's time.
class KilledSaveTest : public SaveJournalTest {
 protected:
  void SetUp() override {
    old_.assign(kChunks * kChunk, 'o');
    new_.assign(kChunks * kChunk, 'n');
    disk_.emplace(dir_.path(), 4 * kChunks * kChunk);
    homeDisk_.emplace(home_.path(), 4 * kChunks * kChunk);
    ::chmod(dir_.path().c_str(), 0700);
    ::chmod(home_.path().c_str(), 0700);
  }
  void TearDown() override {
    disk_.reset();
    homeDisk_.reset();
  }

  // Saves new_ over doc in a child process that is killed with SIGKILL:
  // after `chunks` chunks of the new content when chunks >= 0, while the
  // file is flushed when it is kWhileFlushing, else after `delay` from its
  // start, wherever the save then is.
  static constexpr int kWhileFlushing = -2;
  void SaveAndKill(const std::string& doc, int chunks, std::chrono::microseconds delay) {
    int progress[2];
    ASSERT_EQ(::pipe(progress), 0);
    SaveOptions options;
    options.backupFolder = home_.File("cache");
    options.journalFolder = journal_;
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(progress[0]);
      if (chunks == kWhileFlushing) {
        struct stat st {};
        ::stat(doc.c_str(), &st);
        stopAtFlushOf = st.st_ino;
        flushReached = progress[1];
      }
      SaveSafely(doc, options, [&](int fd) {
        OutputFile out = OutputFile::Borrowing(fd);
        for (size_t i = 0; i < kChunks; ++i) {
          if (chunks >= 0 && static_cast<size_t>(chunks) == i) {
            ::write(progress[1], "k", 1);
            ::pause();  // killed here
          }
          out.Write(new_.data() + i * kChunk, kChunk);
        }
        if (chunks >= 0) {
          ::write(progress[1], "k", 1);
          ::pause();  // everything written, the file not yet cut or flushed
        }
      });
      ::_exit(0);
    }
    ::close(progress[1]);
    if (chunks >= 0 || chunks == kWhileFlushing) {
      char c = 0;
      ::read(progress[0], &c, 1);
    } else {
      std::this_thread::sleep_for(delay);
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(progress[0]);
  }

  // What the next start finds: the file old or new, or the backup offered
  // with the old content; after it nothing is left but the file's names.
  void CheckAfterKill(const std::string& doc, const std::vector<std::string>& names,
                      const std::string& point) {
    SCOPED_TRACE(point);
    const std::string now = ReadLarge(doc);
    std::vector<LeftoverSave> offered = ClearLeftoverSaves(journal_);
    if (now != old_ && now != new_) {
      ASSERT_EQ(offered.size(), 1u) << "a mixed file without a word";
    }
    ASSERT_LE(offered.size(), 1u);
    if (!offered.empty()) {
      EXPECT_TRUE(ReadLarge(offered[0].Record().leftover) == old_);
      EXPECT_EQ(PutBackBackup(offered[0]).result, PutBackResult::kPutBack);
      EXPECT_TRUE(ReadLarge(doc) == old_);
    }
    EXPECT_EQ(Names(dir_.path()), names);
    if (fs::exists(home_.File("cache"))) {
      EXPECT_TRUE(Names(home_.File("cache")).empty());
    }
    EXPECT_TRUE(Records().empty());
  }

  std::string old_, new_;
  std::optional<SmallTmpfs> disk_, homeDisk_;
};

TEST_F(KilledSaveTest, InPlaceTheFileIsOldOrNewOrItsBackupIsOffered) {
  const std::string doc = Path("big.txt");
  const std::vector<std::string> names{"big.txt", "other name"};
  for (int chunks : {0, 1, static_cast<int>(kChunks / 2), static_cast<int>(kChunks)}) {
    TempDir::Write(doc, old_);
    if (!fs::exists(Path("other name"))) {
      ASSERT_EQ(::link(doc.c_str(), Path("other name").c_str()), 0);
    }
    SaveAndKill(doc, chunks, {});
    CheckAfterKill(doc, names, "after " + std::to_string(chunks) + " MB written");
  }
  // Killed while the written file is flushed: it is whole, and the backup
  // goes without a question.
  TempDir::Write(doc, old_);
  SaveAndKill(doc, kWhileFlushing, {});
  EXPECT_TRUE(ReadLarge(doc) == new_);
  EXPECT_TRUE(ClearLeftoverSaves(journal_).empty());
  CheckAfterKill(doc, names, "while flushing");
  // Killed wherever the save happens to be: making the backup, writing,
  // cutting and flushing, removing the backup.
  for (int ms : {0, 2, 5, 15, 50}) {
    TempDir::Write(doc, old_);
    SaveAndKill(doc, -1, std::chrono::milliseconds(ms));
    CheckAfterKill(doc, names, "after " + std::to_string(ms) + " ms");
  }
}

TEST_F(KilledSaveTest, ByRenameTheFileIsOldOrNewAndNoCopyStays) {
  const std::string doc = Path("big.txt");
  const std::vector<std::string> names{"big.txt"};
  for (int chunks : {0, static_cast<int>(kChunks / 2), static_cast<int>(kChunks)}) {
    TempDir::Write(doc, old_);
    SaveAndKill(doc, chunks, {});
    EXPECT_EQ(Names(dir_.path()).size(), 2u);  // the copy the kill left
    CheckAfterKill(doc, names, "after " + std::to_string(chunks) + " MB written");
  }
  for (int ms : {0, 5, 15}) {
    TempDir::Write(doc, old_);
    SaveAndKill(doc, -1, std::chrono::milliseconds(ms));
    CheckAfterKill(doc, names, "after " + std::to_string(ms) + " ms");
  }
}

}  // namespace
}  // namespace prambus
