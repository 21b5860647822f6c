#include "extensions/recovery_copy.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <new>
#include <random>

#include "io/io_error.h"
#include "io/private_folder.h"
#include "io/record_text.h"

namespace prambus {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "prambus recovery 1\n";
constexpr std::string_view kManifestSuffix = ".recovery";
constexpr size_t kMaxManifest = 1 << 16;

// A negative value is written as one that reads back as nothing.
void AppendNumber(std::string& out, std::string_view key, int value) {
  AppendRecordNumber(out, key, static_cast<uint32_t>(value));
}

// A number as written: plain decimal digits within int.
std::optional<int> TakeNumber(std::string_view& text, std::string_view key) {
  const std::optional<uint64_t> n = TakeRecordNumber(text, key);
  if (!n || *n > static_cast<uint64_t>(INT_MAX)) return std::nullopt;
  return static_cast<int>(*n);
}

std::string UniqueBase(const std::string& folder) {
  std::random_device rd;
  const uint64_t r = (static_cast<uint64_t>(rd()) << 32) ^ rd();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(r));
  return folder + "/prambus-" + std::to_string(::getpid()) + "-" + hex;
}

WrittenCopy Failure(int error) {
  WrittenCopy failed;
  failed.error = error != 0 ? error : EIO;
  return failed;
}

}  // namespace

std::string FormatRecoveryManifest(const RecoveryManifest& m) {
  std::string out(kMagic);
  AppendNumber(out, "kind", m.viewKind);
  AppendNumber(out, "encoding", m.encodingIndex);
  AppendRecordBytes(out, "plugin", m.pluginCaption);
  AppendRecordBytes(out, "path", m.documentPath);
  // Added after the fields an earlier version reads: the cursor, then the
  // encoding's identifier only when its menu position cannot name it.
  AppendRecordNumber(out, "cursor", m.cursor);
  if (!m.encodingId.empty()) AppendRecordBytes(out, "encoding-id", m.encodingId);
  return out;
}

std::optional<RecoveryManifest> ParseRecoveryManifest(std::string_view text) {
  if (text.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  text.remove_prefix(kMagic.size());
  RecoveryManifest m;
  const std::optional<int> kind = TakeNumber(text, "kind");
  const std::optional<int> encoding = kind ? TakeNumber(text, "encoding") : std::nullopt;
  std::optional<std::string> plugin = encoding ? TakeRecordBytes(text, "plugin") : std::nullopt;
  std::optional<std::string> path = plugin ? TakeRecordBytes(text, "path") : std::nullopt;
  if (!path || (*kind != 1 && *kind != 2)) return std::nullopt;
  if (!text.empty()) {
    const std::optional<uint64_t> cursor = TakeRecordNumber(text, "cursor");
    if (!cursor) return std::nullopt;
    m.cursor = *cursor;
  }
  if (!text.empty()) {
    std::optional<std::string> encodingId = TakeRecordBytes(text, "encoding-id");
    if (!encodingId || !text.empty()) return std::nullopt;
    m.encodingId = std::move(*encodingId);
  }
  m.viewKind = *kind;
  m.encodingIndex = *encoding;
  m.pluginCaption = std::move(*plugin);
  m.documentPath = std::move(*path);
  return m;
}

RecoveryCopy::~RecoveryCopy() {
  Remove();
}

WrittenCopy WriteCopyFiles(const std::string& folder, const RecoveryManifest& manifest,
                           const std::function<void(int fd)>& writeContent) {
  // The copy may be read back as the user's document at the next start: it
  // is written only where no one else can put or change a file.
  if (!EnsurePrivateFolder(folder)) return Failure(errno);
  const std::string base = UniqueBase(folder);
  const std::string content = base + ".document";
  const std::string manifestPath = base + std::string(kManifestSuffix);
  const std::string partContent = content + ".part", partManifest = manifestPath + ".part";
  // The document may be private: the copy is created afresh for the user
  // alone, never through a name someone else put there.
  const int contentFd =
      ::open(partContent.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (contentFd < 0) return Failure(errno);
  int error = 0;
  try {
    writeContent(contentFd);
    if (::fsync(contentFd) != 0) error = errno;
  } catch (const IoError& e) {
    error = e.Errno() != 0 ? e.Errno() : EIO;
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
  } catch (...) {
    error = EIO;
  }
  if (::close(contentFd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(partContent.c_str(), content.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(partContent.c_str());
    return Failure(error);
  }
  // The manifest is locked before it has its final name, so no other copy
  // of the program ever sees it unlocked while this one runs.
  errno = 0;
  const int fd =
      ::open(partManifest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  const bool ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 &&
                  WriteAllTo(fd, FormatRecoveryManifest(manifest)) && ::fsync(fd) == 0 &&
                  ::rename(partManifest.c_str(), manifestPath.c_str()) == 0;
  if (!ok) {
    error = errno != 0 ? errno : EIO;
    if (fd >= 0) ::close(fd);
    ::unlink(partManifest.c_str());
    ::unlink(content.c_str());
    return Failure(error);
  }
  return {fd, manifestPath, content};
}

void DiscardWrittenCopy(WrittenCopy& copy) {
  if (!copy) return;
  ::unlink(copy.manifestPath.c_str());
  ::unlink(copy.contentPath.c_str());
  ::close(copy.lockFd);
  copy = {};
}

bool RecoveryCopy::Write(const std::string& folder, const RecoveryManifest& manifest,
                         const std::function<void(int fd)>& writeContent) {
  WrittenCopy written = WriteCopyFiles(folder, manifest, writeContent);
  if (!written) return false;
  Replace(std::move(written));
  return true;
}

void RecoveryCopy::Replace(WrittenCopy written) {
  WrittenCopy earlier = Exchange(std::move(written));
  DiscardWrittenCopy(earlier);
}

WrittenCopy RecoveryCopy::Exchange(WrittenCopy written) {
  WrittenCopy earlier{lockFd_, std::move(manifestPath_), std::move(contentPath_)};
  lockFd_ = written.lockFd;
  manifestPath_ = std::move(written.manifestPath);
  contentPath_ = std::move(written.contentPath);
  return earlier;
}

bool RecoveryCopy::Adopt(const OrphanCopy& copy) {
  // The claim's lock is shared by the duplicate and outlives the claim.
  const int fd = copy.claim ? ::fcntl(copy.claim->Fd(), F_DUPFD_CLOEXEC, 0) : -1;
  if (fd < 0) return false;
  Replace({fd, copy.manifestPath, copy.contentPath});
  return true;
}

void RecoveryCopy::Release() {
  if (lockFd_ < 0) return;
  ::close(lockFd_);
  lockFd_ = -1;
  manifestPath_.clear();
  contentPath_.clear();
}

void RecoveryCopy::Remove() {
  if (lockFd_ < 0) return;
  ::unlink(manifestPath_.c_str());
  ::unlink(contentPath_.c_str());
  ::close(lockFd_);
  lockFd_ = -1;
  manifestPath_.clear();
  contentPath_.clear();
}

namespace {

// The manifest at path when no running program holds it, claimed: opened
// without ever waiting (a FIFO given the name is refused, not waited on),
// only when it is the user's own regular file, and only while it still has
// the name once locked (a program that opened the copy removes it before it
// lets go).
std::optional<RecoveryManifest> ClaimOrphanManifest(const std::string& path, struct stat& st,
                                                    std::shared_ptr<const CopyClaim>& claim) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat named {};
  std::optional<std::string> text;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
      ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
      named.st_dev == st.st_dev && named.st_ino == st.st_ino)
    text = ReadSmallFile(fd, kMaxManifest);
  std::optional<RecoveryManifest> m = text ? ParseRecoveryManifest(*text) : std::nullopt;
  if (!m) {
    ::close(fd);
    return std::nullopt;
  }
  claim = std::make_shared<const CopyClaim>(fd);
  return m;
}

// The writer's process id in a name UniqueBase made ("prambus-PID-HEX"
// and a suffix), or nothing for any other name.
std::optional<pid_t> WriterOf(std::string_view name) {
  constexpr std::string_view kPrefix = "prambus-";
  if (name.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  name.remove_prefix(kPrefix.size());
  const size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9 ||
      name.find_first_not_of("0123456789") != dash)
    return std::nullopt;
  const std::string_view hex = name.substr(dash + 1, 16);
  if (hex.size() != 16 || hex.find_first_not_of("0123456789abcdef") != std::string_view::npos)
    return std::nullopt;
  return static_cast<pid_t>(std::stol(std::string(name.substr(0, dash))));
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Removes what a program killed while writing a copy left behind: a
// half-written part, or a document whose manifest never got its name. Such
// a file is nothing anyone can restore. Only this user's own regular files
// whose writer is no longer running on this machine go, and only once they
// are old enough that a writer elsewhere sharing the folder has finished.
void RemoveUnfinishedCopyFiles(const std::string& folder) {
  constexpr auto kSettled = std::chrono::minutes(10);
  const auto now = fs::file_time_type::clock::now();
  std::error_code ec;
  std::vector<std::string> stray;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const std::optional<pid_t> writer = WriterOf(name);
    if (!writer) continue;
    const bool part =
        EndsWith(name, ".document.part") || EndsWith(name, std::string(kManifestSuffix) + ".part");
    std::error_code manifestError;  // apart from the listing's own
    const bool unnamed =
        EndsWith(name, ".document") &&
        !fs::exists(folder + "/" + name.substr(0, name.size() - 9) + std::string(kManifestSuffix),
                    manifestError) &&
        !manifestError;  // a manifest that cannot be looked at may be there
    if (!part && !unnamed) continue;
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
      continue;
    if (::kill(*writer, 0) == 0 || errno != ESRCH) continue;  // may still be writing
    std::error_code timeError;
    const auto written = fs::last_write_time(it->path(), timeError);
    if (timeError || now - written < kSettled) continue;
    stray.push_back(it->path().string());
  }
  for (const std::string& path : stray) ::unlink(path.c_str());
}

}  // namespace

std::vector<OrphanCopy> FindOrphanCopies(const std::string& folder) {
  // A folder another user could have written to holds nothing to offer.
  if (CheckPrivateFolder(folder) == FolderTrust::kMissing || !EnsurePrivateFolder(folder))
    return {};
  RemoveUnfinishedCopyFiles(folder);
  std::vector<OrphanCopy> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string path = it->path().string();
    if (path.size() <= kManifestSuffix.size() ||
        path.compare(path.size() - kManifestSuffix.size(), kManifestSuffix.size(),
                     kManifestSuffix) != 0)
      continue;
    struct stat manifest {};
    std::shared_ptr<const CopyClaim> claim;
    std::optional<RecoveryManifest> m = ClaimOrphanManifest(path, manifest, claim);
    if (!m) continue;
    OrphanCopy copy;
    copy.manifestPath = path;
    copy.contentPath = path.substr(0, path.size() - kManifestSuffix.size()) + ".document";
    copy.manifest = std::move(*m);
    copy.claim = std::move(claim);
    struct stat content {};
    if (::lstat(copy.contentPath.c_str(), &content) != 0 || !S_ISREG(content.st_mode) ||
        content.st_uid != ::geteuid())
      continue;
    copy.contentSize = content.st_size;
    copy.savedAt = manifest.st_mtim.tv_sec;
    copy.order = manifest.st_mtim.tv_sec * 1000000000LL + manifest.st_mtim.tv_nsec;
    found.push_back(std::move(copy));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const OrphanCopy& a, const OrphanCopy& b) { return a.order < b.order; });
  return found;
}

CopyClaim::~CopyClaim() {
  ::close(fd_);
}

void DiscardOrphanCopy(const OrphanCopy& copy) {
  ::unlink(copy.contentPath.c_str());
  ::unlink(copy.manifestPath.c_str());
}

}  // namespace prambus
