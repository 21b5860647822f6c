#include "shell/save_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "associations/xdg_dirs.h"
#include "io/file_copy.h"
#include "io/private_folder.h"
#include "io/record_text.h"

namespace prambus {
namespace {

constexpr std::string_view kMagic = "prambus save 1\n";
constexpr std::string_view kStageKey = "stage ";
constexpr std::string_view kRecordSuffix = ".save";
constexpr std::string_view kPartSuffix = ".save-new";  // a record being written
constexpr size_t kMaxRecord = 1 << 16;

std::string RandomName(size_t length) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device rd;
  std::string name;
  for (size_t i = 0; i < length; ++i) name += kLetters[rd() % (sizeof kLetters - 1)];
  return name;
}

bool ValidStage(char c) {
  return c == static_cast<char>(SaveStage::kTemporary) ||
         c == static_cast<char>(SaveStage::kBackingUp) ||
         c == static_cast<char>(SaveStage::kRewriting) ||
         c == static_cast<char>(SaveStage::kWritten) || c == static_cast<char>(SaveStage::kSettled);
}

bool SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool EndsWith(const std::string& s, std::string_view suffix) {
  return s.size() > suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string FormatSaveRecord(const SaveRecord& r) {
  std::string out(kMagic);
  out += kStageKey;
  out += static_cast<char>(r.stage);
  out += '\n';
  AppendRecordBytes(out, "target", r.target);
  AppendRecordBytes(out, "leftover", r.leftover);
  AppendRecordNumber(out, "device", r.targetDevice);
  AppendRecordNumber(out, "inode", r.targetInode);
  if (!r.boot.empty()) AppendRecordBytes(out, "boot", r.boot);
  return out;
}

std::optional<SaveRecord> ParseSaveRecord(std::string_view text) {
  if (text.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  text.remove_prefix(kMagic.size());
  if (text.substr(0, kStageKey.size()) != kStageKey || text.size() < kStageKey.size() + 2 ||
      !ValidStage(text[kStageKey.size()]) || text[kStageKey.size() + 1] != '\n')
    return std::nullopt;
  SaveRecord r;
  r.stage = static_cast<SaveStage>(text[kStageKey.size()]);
  text.remove_prefix(kStageKey.size() + 2);
  std::optional<std::string> target = TakeRecordBytes(text, "target");
  std::optional<std::string> leftover = target ? TakeRecordBytes(text, "leftover") : std::nullopt;
  const std::optional<uint64_t> device = leftover ? TakeRecordNumber(text, "device") : std::nullopt;
  const std::optional<uint64_t> inode = device ? TakeRecordNumber(text, "inode") : std::nullopt;
  // Records of earlier versions, and those made where the boot is unknown,
  // end before it.
  const bool bootNamed = inode && !text.empty();
  std::optional<std::string> boot = bootNamed ? TakeRecordBytes(text, "boot") : std::string();
  if (!inode || !boot || !text.empty() || leftover->empty() || (bootNamed && boot->empty()))
    return std::nullopt;
  r.target = std::move(*target);
  r.leftover = std::move(*leftover);
  r.targetDevice = *device;
  r.targetInode = *inode;
  r.boot = std::move(*boot);
  return r;
}

const std::string& CurrentBoot() {
  static const std::string boot = [] {
    std::string id;
    const int fd = ::open("/proc/sys/kernel/random/boot_id", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return id;
    char buf[64];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    if (n > 0) id.assign(buf, static_cast<size_t>(n));
    while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
    return id;
  }();
  return boot;
}

bool MayBeHalfWritten(const SaveRecord& record, const std::string& currentBoot) {
  if (record.stage == SaveStage::kRewriting) return true;
  // Written to the end in a boot that has ended since: the bytes may not
  // all have reached the disk.
  return record.stage == SaveStage::kWritten && (record.boot.empty() || record.boot != currentBoot);
}

std::string SaveJournalFolder() {
  return XdgDirs::FromEnvironment().stateHome + "/prambus/saves";
}

// ------------------------------------------------------------ RecordedFile

RecordedFile::RecordedFile(const std::string& prefix, const std::string& suffix, SaveRecord record,
                           const std::string& journalFolder) {
  const bool journal = !journalFolder.empty() && EnsurePrivateFolder(journalFolder);
  for (int attempt = 0; attempt < 64; ++attempt) {
    path_ = prefix + RandomName(6) + suffix;
    record.leftover = path_;
    record.boot = CurrentBoot();
    if (journal) WriteRecord(journalFolder, record);
    fd_ =
        ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      error_ = 0;
      return;
    }
    error_ = errno;
    RemoveRecord();
    if (error_ != EEXIST) return;
  }
}

RecordedFile::~RecordedFile() {
  Close();
  if (created() && !kept_) ::unlink(path_.c_str());
  RemoveRecord();
}

bool RecordedFile::Close() {
  if (fd_ < 0) return true;
  const int fd = fd_;
  fd_ = -1;
  closed_ = true;
  return ::close(fd) == 0;
}

// The record is written under a name of its own, locked, and renamed into
// place complete: a copy of the program starting meanwhile never sees a
// half-written record. Should that copy take the unfinished one for a
// leftover (it can lock it in the moment before this does) and remove it,
// the rename fails and the record is written once more.
bool RecordedFile::WriteRecord(const std::string& folder, const SaveRecord& record) {
  const std::string text = FormatSaveRecord(record);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::string base = folder + "/" + std::to_string(::getpid()) + "-" + RandomName(12);
    const std::string part = base + std::string(kPartSuffix),
                      path = base + std::string(kRecordSuffix);
    const int fd = ::open(part.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX) == 0 && WriteAllTo(fd, text) &&
        ::rename(part.c_str(), path.c_str()) == 0) {
      recordFd_ = fd;
      recordPath_ = path;
      stageOffset_ = static_cast<off_t>(kMagic.size() + kStageKey.size());
      return true;
    }
    ::unlink(part.c_str());
    ::close(fd);
  }
  return false;
}

void RecordedFile::RemoveRecord() {
  if (recordFd_ < 0) return;
  ::unlink(recordPath_.c_str());
  ::close(recordFd_);
  recordFd_ = -1;
  recordPath_.clear();
}

bool RecordedFile::Advance(SaveStage stage) {
  if (recordFd_ < 0) return false;
  const char c = static_cast<char>(stage);
  const size_t slash = recordPath_.find_last_of('/');
  // Only the stage that asks the user something must survive a power cut.
  const bool flush = stage == SaveStage::kRewriting;
  if (::pwrite(recordFd_, &c, 1, stageOffset_) == 1 &&
      (!flush || (::fdatasync(recordFd_) == 0 && SyncFolder(recordPath_.substr(0, slash)))))
    return true;
  RemoveRecord();
  return false;
}

// ------------------------------------------------------------ LeftoverSave

LeftoverSave::LeftoverSave(int fd, std::string recordPath, SaveRecord record)
    : fd_(fd), recordPath_(std::move(recordPath)), record_(std::move(record)) {}

LeftoverSave::~LeftoverSave() {
  if (fd_ >= 0) ::close(fd_);
}

LeftoverSave::LeftoverSave(LeftoverSave&& other) noexcept
    : fd_(other.fd_), recordPath_(std::move(other.recordPath_)), record_(std::move(other.record_)) {
  other.fd_ = -1;
}

void LeftoverSave::Forget() {
  if (fd_ < 0) return;
  ::unlink(recordPath_.c_str());
  ::close(fd_);
  fd_ = -1;
}

namespace {

// The record at path, locked, when no running program holds it and it still
// has the name (a record removed meanwhile is not one left behind).
int LockLeftRecord(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {
  }, named{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
      ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::lstat(path.c_str(), &named) != 0 ||
      named.st_dev != st.st_dev || named.st_ino != st.st_ino) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::vector<LeftoverSave> ClearLeftoverSaves(const std::string& folder) {
  std::vector<LeftoverSave> offered;
  if (CheckPrivateFolder(folder) == FolderTrust::kMissing || !EnsurePrivateFolder(folder))
    return offered;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string path = it->path().string();
    const bool part = EndsWith(path, kPartSuffix);
    if (!part && !EndsWith(path, kRecordSuffix)) continue;
    const int fd = LockLeftRecord(path);
    if (fd < 0) continue;
    const std::optional<std::string> text = part ? std::nullopt : ReadSmallFile(fd, kMaxRecord);
    const std::optional<SaveRecord> record = text ? ParseSaveRecord(*text) : std::nullopt;
    if (record && MayBeHalfWritten(*record, CurrentBoot())) {
      offered.emplace_back(fd, path, *record);
      continue;
    }
    // A record of a program that was killed before it finished writing it
    // named nothing yet.
    if (record) RemoveOwnFile(record->leftover);
    ::unlink(path.c_str());
    ::close(fd);
  }
  return offered;
}

bool BackupPresent(const SaveRecord& record) {
  struct stat st {};
  return ::lstat(record.leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         st.st_uid == ::geteuid();
}

PutBackOutcome PutBackBackup(LeftoverSave& save) {
  const SaveRecord& r = save.Record();
  PutBackOutcome o;
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int backup = ::open(r.leftover.c_str(), O_RDONLY | kFlags);
  struct stat b {};
  if (backup < 0 || ::fstat(backup, &b) != 0 || !S_ISREG(b.st_mode) || b.st_uid != ::geteuid()) {
    if (backup >= 0) ::close(backup);
    o.result = PutBackResult::kBackupMissing;
    return o;
  }
  const int target = ::open(r.target.c_str(), O_RDWR | kFlags);
  struct stat t {};
  if (target < 0 || ::fstat(target, &t) != 0 || !S_ISREG(t.st_mode) || t.st_dev != r.targetDevice ||
      t.st_ino != r.targetInode) {
    const int err = errno;
    const bool replaced = target >= 0 || err == ENOENT || err == ELOOP || err == ENOTDIR;
    o.result = replaced ? PutBackResult::kTargetReplaced : PutBackResult::kFailed;
    o.error = replaced ? 0 : err;
  } else if ((o.error = ReplaceFileContent(backup, target, b.st_size)) != 0) {
    o.result = PutBackResult::kFailed;
  } else {
    o.result = PutBackResult::kPutBack;
  }
  if (target >= 0) ::close(target);
  ::close(backup);
  if (o.result == PutBackResult::kPutBack) {
    RemoveOwnFile(r.leftover);
    save.Forget();
  }
  return o;
}

}  // namespace prambus
