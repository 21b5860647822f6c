#include "shell/safe_save.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <new>

#include "associations/xdg_dirs.h"
#include "io/file_copy.h"
#include "io/private_folder.h"
#include "shell/save_journal.h"

namespace prambus {
namespace {

// The file a path finally names, following symbolic links (the path itself
// when it does not exist yet).
std::string ResolveTarget(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
    if (n <= 0) return current;
    std::string link(buf, static_cast<size_t>(n));
    if (link[0] != '/') {
      const size_t slash = current.find_last_of('/');
      link = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + link;
    }
    current = link;
  }
  return current;
}

struct Target {
  std::string path;    // the file itself, links followed
  std::string folder;  // its folder
  std::string name;    // its name in the folder
  bool exists = false;
  struct stat st {};
};

Target Describe(const std::string& path) {
  Target t;
  t.path = ResolveTarget(path);
  const size_t slash = t.path.find_last_of('/');
  t.folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : t.path.substr(0, slash));
  t.name = slash == std::string::npos ? t.path : t.path.substr(slash + 1);
  t.exists = ::lstat(t.path.c_str(), &t.st) == 0;
  return t;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool Unchanged(const struct stat& now, const struct stat& before) {
  return SameFile(now, before) && now.st_size == before.st_size &&
         now.st_mtim.tv_sec == before.st_mtim.tv_sec &&
         now.st_mtim.tv_nsec == before.st_mtim.tv_nsec;
}

bool WriteProtected(const Target& t) {
  // Root may write anything, so a file without write bits counts as
  // protected too, as its owner meant it.
  return ::faccessat(AT_FDCWD, t.path.c_str(), W_OK, AT_EACCESS) != 0 || (t.st.st_mode & 0222) == 0;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void Fail(SaveOutcome& o, FileProblem problem, int err) {
  o.result = SaveResult::kFailed;
  o.problem = problem;
  o.error = err;
}

void FailErrno(SaveOutcome& o, int err) {
  Fail(o, ProblemOfErrno(err), err);
}

// Runs the writer from the start of fd: the length it wrote, or -1 with the
// failure recorded.
int64_t WriteDocument(int fd, const ContentWriter& write, SaveOutcome& o) {
  if (::lseek(fd, 0, SEEK_SET) < 0) {
    FailErrno(o, errno);
    return -1;
  }
  try {
    write(fd);
  } catch (const IoError& e) {
    Fail(o, e.Problem(), e.Errno());
    return -1;
  } catch (const std::bad_alloc&) {
    Fail(o, FileProblem::kOther, ENOMEM);
    return -1;
  } catch (const std::exception&) {
    Fail(o, FileProblem::kOther, EIO);
    return -1;
  }
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  if (end < 0) FailErrno(o, errno);
  return end;
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

enum class Next { kDone, kWriteInPlace };

// Where the files a save leaves on the disk meanwhile are put on record.
std::string JournalOf(const SaveOptions& options) {
  return options.journalFolder.empty() ? SaveJournalFolder() : options.journalFolder;
}

Next SaveByRename(const Target& t, const SaveOptions& options, const ContentWriter& write,
                  SaveOutcome& o) {
  RecordedFile temp(t.folder + "/." + t.name + ".prambus-", "",
                    SaveRecord{SaveStage::kTemporary, t.path, {}, 0, 0, {}}, JournalOf(options));
  if (!temp.created()) {
    // A folder that takes no new files leaves writing in place; a folder
    // that is gone leaves nothing to try.
    const int err = temp.error();
    if (t.exists && err != ENOENT && err != ENOTDIR) return Next::kWriteInPlace;
    FailErrno(o, err);
    return Next::kDone;
  }
  Descriptor original;
  if (t.exists) {
    original.reset(
        ::open(t.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat now {
    }, mine{};
    if (original.get() < 0 || ::fstat(original.get(), &now) != 0 || !SameFile(now, t.st))
      return Next::kWriteInPlace;
    // The copy must belong to whom the file belongs (only root, or a member
    // of the group, may give it away); tried while the copy is still empty.
    if (::fstat(temp.fd(), &mine) != 0) return Next::kWriteInPlace;
    if ((mine.st_uid != t.st.st_uid || mine.st_gid != t.st.st_gid) &&
        ::fchown(temp.fd(), t.st.st_uid, t.st.st_gid) != 0)
      return Next::kWriteInPlace;
  }
  o.method = SaveMethod::kRename;
  if (WriteDocument(temp.fd(), write, o) < 0) return Next::kDone;
  // Attributes after the content, so the copy stays private while it is
  // incomplete; copied after the owner, as a change of owner clears some.
  if (t.exists && CopyExtendedAttributes(original.get(), temp.fd()) != 0) {
    o.method = SaveMethod::kNone;
    return Next::kWriteInPlace;
  }
  const mode_t mode = t.exists ? (t.st.st_mode & 07777) : NewFileMode();
  if (::fchmod(temp.fd(), mode) != 0 || ::fsync(temp.fd()) != 0 || !temp.Close()) {
    FailErrno(o, errno);
    return Next::kDone;
  }
  if (t.exists) {
    // Another program may have replaced or changed the file while the copy
    // was written: its version is not overwritten unseen.
    struct stat now {};
    if (::lstat(t.path.c_str(), &now) != 0 || !Unchanged(now, t.st)) {
      Fail(o, FileProblem::kReplaced, 0);
      return Next::kDone;
    }
    if (::rename(temp.path().c_str(), t.path.c_str()) != 0) {
      FailErrno(o, errno);
      return Next::kDone;
    }
  } else if (::renameat2(AT_FDCWD, temp.path().c_str(), AT_FDCWD, t.path.c_str(),
                         RENAME_NOREPLACE) != 0) {
    const int err = errno;
    if (err == EEXIST) {
      Fail(o, FileProblem::kReplaced, err);
      return Next::kDone;
    }
    // File systems without the flag get a plain rename.
    if ((err != EINVAL && err != ENOSYS) || ::rename(temp.path().c_str(), t.path.c_str()) != 0) {
      FailErrno(o, err == EINVAL || err == ENOSYS ? errno : err);
      return Next::kDone;
    }
  }
  temp.Keep();
  SyncFolder(t.folder);
  o.result = SaveResult::kSaved;
  return Next::kDone;
}

// A complete, flushed copy of the file's bytes: beside the file, else in the
// other folder (the user's own, see io/private_folder.h). On failure the
// error of the last attempt is in error.
std::unique_ptr<RecordedFile> MakeBackup(int fd, const struct stat& opened, const Target& t,
                                         const std::string& elsewhere, const std::string& journal,
                                         int& error) {
  error = 0;
  const int64_t size = opened.st_size;
  const SaveRecord record{SaveStage::kBackingUp, t.path, {}, opened.st_dev, opened.st_ino, {}};
  for (const std::string* folder : {&t.folder, &elsewhere}) {
    if (folder->empty()) continue;
    if (folder == &elsewhere && !EnsurePrivateFolder(*folder)) {
      error = errno;
      continue;
    }
    auto backup = std::make_unique<RecordedFile>(*folder + "/" + t.name + ".prambus-backup-", "",
                                                 record, journal);
    if (!backup->created()) {
      error = backup->error();
      continue;
    }
    error = CopyFileBytes(fd, backup->fd(), size);
    if (!error && ::fsync(backup->fd()) != 0) error = errno;
    if (!error) return backup;
  }
  return nullptr;
}

void SaveInPlace(const Target& t, const SaveOptions& options, const ContentWriter& write,
                 SaveOutcome& o) {
  const mode_t mode = t.st.st_mode & 07777;
  auto open = [&] {
    return ::open(t.path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  };
  Descriptor fd(open());
  // A write-protected file the user may unprotect is unprotected for the
  // save and protected again afterwards, whatever happens.
  bool unprotected = false;
  if (fd.get() < 0 && errno == EACCES && options.tryReadOnly && t.st.st_uid == ::geteuid() &&
      ::chmod(t.path.c_str(), mode | S_IWUSR) == 0) {
    unprotected = true;
    fd.reset(open());
  }
  struct Reprotect {
    const Target& t;
    bool on;
    mode_t mode;
    ~Reprotect() {
      if (on) ::chmod(t.path.c_str(), mode);
    }
  } reprotect{t, unprotected, mode};
  if (fd.get() < 0) {
    FailErrno(o, errno);
    return;
  }
  struct stat opened {};
  if (::fstat(fd.get(), &opened) != 0 || !SameFile(opened, t.st)) {
    Fail(o, FileProblem::kReplaced, 0);
    return;
  }
  int error = 0;
  const std::string elsewhere =
      options.backupFolder.empty() ? UserCacheFolder() : options.backupFolder;
  const std::unique_ptr<RecordedFile> backup =
      MakeBackup(fd.get(), opened, t, elsewhere, JournalOf(options), error);
  if (!backup) {
    o.noBackup = true;
    FailErrno(o, error);
    return;
  }
  // From here on the file may hold new bytes followed by old ones until the
  // write ends: a program killed meanwhile leaves the record saying so, and
  // the next start offers the backup back.
  backup->Advance(SaveStage::kRewriting);
  o.method = SaveMethod::kInPlace;
  const int64_t length = WriteDocument(fd.get(), write, o);
  bool written = length >= 0;
  if (written && ::ftruncate(fd.get(), length) != 0) {
    FailErrno(o, errno);
    written = false;
  }
  // The new content is all there for as long as the system runs: a program
  // killed while the flush below waits for the disk leaves a whole file,
  // and the next start of this boot removes the backup without asking.
  if (written) backup->Advance(SaveStage::kWritten);
  if (written && ::fsync(fd.get()) != 0) {
    FailErrno(o, errno);
    written = false;
    // Put back below: a kill while that runs leaves a mixed file again.
    backup->Advance(SaveStage::kRewriting);
  }
  if (!written) {
    if (ReplaceFileContent(backup->fd(), fd.get(), opened.st_size) != 0) {
      o.originalIntact = false;
      o.backupKept = backup->path();
      backup->Keep();
    } else {
      backup->Advance(SaveStage::kSettled);
    }
    return;
  }
  // Whole again: a program killed from here on leaves a backup the next
  // start removes without asking.
  backup->Advance(SaveStage::kSettled);
  // Another program may have replaced the file meanwhile: the new content
  // then went to a file that no longer has this name.
  struct stat now {};
  if (::stat(t.path.c_str(), &now) != 0 || !SameFile(now, opened)) {
    Fail(o, FileProblem::kReplaced, 0);
    return;
  }
  // A write by someone else than the owner clears the set-ID bits.
  if (!unprotected && ::fstat(fd.get(), &now) == 0 && (now.st_mode & 07777) != mode)
    ::fchmod(fd.get(), mode);
  o.result = SaveResult::kSaved;
}

}  // namespace

SaveOutcome SaveSafely(const std::string& target, const SaveOptions& options,
                       const ContentWriter& write) {
  SaveOutcome o;
  const Target t = Describe(target);
  o.targetExisted = t.exists;
  if (t.exists && !S_ISREG(t.st.st_mode)) {
    Fail(o, S_ISDIR(t.st.st_mode) ? FileProblem::kFolder : FileProblem::kNotRegularFile, 0);
    return o;
  }
  if (t.exists && WriteProtected(t) && !options.tryReadOnly) {
    o.result = SaveResult::kReadOnly;
    o.problem = FileProblem::kNoPermission;
    return o;
  }
  // A file with several names keeps them only when it is rewritten in place.
  if (!t.exists || t.st.st_nlink == 1) {
    if (SaveByRename(t, options, write, o) == Next::kDone) return o;
    o = SaveOutcome{};
    o.targetExisted = true;
  }
  SaveInPlace(t, options, write, o);
  return o;
}

std::string UserCacheFolder() {
  return XdgDirs::FromEnvironment().cacheHome + "/prambus";
}

}  // namespace prambus
