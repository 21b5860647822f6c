#include "extensions/recovery_copy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <random>

namespace prambus {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "prambus recovery 1\n";
constexpr std::string_view kManifestSuffix = ".recovery";
constexpr size_t kMaxManifest = 1 << 16;

void AppendNumber(std::string& out, std::string_view key, int value) {
  out += key;
  out += ' ';
  out += std::to_string(value);
  out += '\n';
}

void AppendBytes(std::string& out, std::string_view key, std::string_view bytes) {
  AppendNumber(out, key, static_cast<int>(bytes.size()));
  out += bytes;
  out += '\n';
}

// Reads "key NUMBER\n" from the front of text.
std::optional<int> TakeNumber(std::string_view& text, std::string_view key) {
  if (text.substr(0, key.size()) != key || text.size() <= key.size() || text[key.size()] != ' ')
    return std::nullopt;
  text.remove_prefix(key.size() + 1);
  const size_t end = text.find('\n');
  // Plain decimal digits as written: no sign, no leading zero.
  if (end == std::string_view::npos || end == 0 || text[0] < '0' || text[0] > '9' ||
      (text[0] == '0' && end > 1))
    return std::nullopt;
  int value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + end, value);
  if (ec != std::errc() || ptr != text.data() + end) return std::nullopt;
  text.remove_prefix(end + 1);
  return value;
}

std::optional<std::string> TakeBytes(std::string_view& text, std::string_view key) {
  const std::optional<int> n = TakeNumber(text, key);
  if (!n || text.size() < static_cast<size_t>(*n) + 1 || text[*n] != '\n') return std::nullopt;
  std::string bytes(text.substr(0, *n));
  text.remove_prefix(*n + 1);
  return bytes;
}

bool WriteAllTo(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string UniqueBase(const std::string& folder) {
  std::random_device rd;
  const uint64_t r = (static_cast<uint64_t>(rd()) << 32) ^ rd();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(r));
  return folder + "/prambus-" + std::to_string(::getpid()) + "-" + hex;
}

}  // namespace

std::string FormatRecoveryManifest(const RecoveryManifest& m) {
  std::string out(kMagic);
  AppendNumber(out, "kind", m.viewKind);
  AppendNumber(out, "encoding", m.encodingIndex);
  AppendBytes(out, "plugin", m.pluginCaption);
  AppendBytes(out, "path", m.documentPath);
  return out;
}

std::optional<RecoveryManifest> ParseRecoveryManifest(std::string_view text) {
  if (text.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  text.remove_prefix(kMagic.size());
  RecoveryManifest m;
  const std::optional<int> kind = TakeNumber(text, "kind");
  const std::optional<int> encoding = kind ? TakeNumber(text, "encoding") : std::nullopt;
  std::optional<std::string> plugin = encoding ? TakeBytes(text, "plugin") : std::nullopt;
  std::optional<std::string> path = plugin ? TakeBytes(text, "path") : std::nullopt;
  if (!path || !text.empty() || (*kind != 1 && *kind != 2)) return std::nullopt;
  m.viewKind = *kind;
  m.encodingIndex = *encoding;
  m.pluginCaption = std::move(*plugin);
  m.documentPath = std::move(*path);
  return m;
}

RecoveryCopy::~RecoveryCopy() {
  Remove();
}

bool RecoveryCopy::Write(const std::string& folder, const RecoveryManifest& manifest,
                         const std::function<void(int fd)>& writeContent) {
  Remove();
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    ::chmod(folder.c_str(), 0700);
  }
  const std::string base = UniqueBase(folder);
  const std::string content = base + ".document";
  const std::string manifestPath = base + std::string(kManifestSuffix);
  const std::string partContent = content + ".part", partManifest = manifestPath + ".part";
  // The document may be private: the copy is created afresh for the user
  // alone, never through a name someone else put there.
  const int contentFd =
      ::open(partContent.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (contentFd < 0) return false;
  bool written = false;
  try {
    writeContent(contentFd);
    written = ::fsync(contentFd) == 0;
  } catch (...) {
  }
  written = ::close(contentFd) == 0 && written;
  if (!written || ::rename(partContent.c_str(), content.c_str()) != 0) {
    ::unlink(partContent.c_str());
    return false;
  }
  // The manifest is locked before it has its final name, so no other copy
  // of the program ever sees it unlocked while this one runs.
  const int fd =
      ::open(partManifest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  const bool ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 &&
                  WriteAllTo(fd, FormatRecoveryManifest(manifest)) && ::fsync(fd) == 0 &&
                  ::rename(partManifest.c_str(), manifestPath.c_str()) == 0;
  if (!ok) {
    if (fd >= 0) ::close(fd);
    ::unlink(partManifest.c_str());
    ::unlink(content.c_str());
    return false;
  }
  lockFd_ = fd;
  manifestPath_ = manifestPath;
  contentPath_ = content;
  return true;
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

std::vector<OrphanCopy> FindOrphanCopies(const std::string& folder) {
  std::vector<std::pair<fs::file_time_type, OrphanCopy>> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string path = it->path().string();
    if (path.size() <= kManifestSuffix.size() ||
        path.compare(path.size() - kManifestSuffix.size(), kManifestSuffix.size(),
                     kManifestSuffix) != 0)
      continue;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    std::string text;
    struct stat st {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<size_t>(st.st_size) <= kMaxManifest) {
      text.resize(static_cast<size_t>(st.st_size));
      if (::read(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) text.clear();
    }
    ::close(fd);
    const std::optional<RecoveryManifest> m = ParseRecoveryManifest(text);
    if (!m) continue;
    OrphanCopy copy{path, path.substr(0, path.size() - kManifestSuffix.size()) + ".document", *m};
    std::error_code typeError;
    if (!fs::is_regular_file(copy.contentPath, typeError)) continue;
    found.emplace_back(fs::last_write_time(path, typeError), std::move(copy));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<OrphanCopy> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

void DiscardOrphanCopy(const OrphanCopy& copy) {
  ::unlink(copy.contentPath.c_str());
  ::unlink(copy.manifestPath.c_str());
}

}  // namespace prambus
