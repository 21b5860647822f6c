#include "extensions/library_journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>

namespace prambus {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNotePrefix = "loading-";
constexpr std::string_view kNewNotePrefix = ".creating-";
constexpr std::string_view kListName = "left-out";
// A list longer than any written (kMaxLeftOut records of long paths) is not
// one of ours.
constexpr size_t kMaxListBytes = 1 << 20;

std::string_view FaultWord(LibraryFault f) {
  return f == LibraryFault::kTooSlow ? "slow" : "ended";
}

void AppendRecord(std::string& out, const LeftOutLibrary& e) {
  const LibraryIdentity& f = e.file;
  out += FaultWord(e.fault);
  for (uint64_t n : {f.device, f.inode, f.size, f.modifiedNs}) out += ' ' + std::to_string(n);
  out += ' ' + std::to_string(f.path.size()) + ':' + f.path + '\n';
}

// A decimal number as written (no sign, no leading zero) ending at `end`.
bool TakeNumber(std::string_view& text, char end, uint64_t& value) {
  const size_t stop = text.find(end);
  if (stop == std::string_view::npos || stop == 0 || (text[0] == '0' && stop > 1)) return false;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + stop, value);
  if (ec != std::errc() || ptr != text.data() + stop) return false;
  text.remove_prefix(stop + 1);
  return true;
}

std::optional<LeftOutLibrary> TakeRecord(std::string_view& text) {
  LeftOutLibrary e;
  if (text.starts_with("ended ")) {
    text.remove_prefix(6);
  } else if (text.starts_with("slow ")) {
    e.fault = LibraryFault::kTooSlow;
    text.remove_prefix(5);
  } else {
    return std::nullopt;
  }
  LibraryIdentity& f = e.file;
  uint64_t length = 0;
  for (uint64_t* n : {&f.device, &f.inode, &f.size, &f.modifiedNs})
    if (!TakeNumber(text, ' ', *n)) return std::nullopt;
  if (!TakeNumber(text, ':', length) || length >= text.size() || text[length] != '\n')
    return std::nullopt;
  f.path = std::string(text.substr(0, length));
  text.remove_prefix(length + 1);
  return e;
}

std::string ReadFrom(int fd) {
  std::string text;
  char buffer[4096];
  for (off_t at = 0; text.size() <= kMaxListBytes;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
    at += n;
  }
  return text;
}

// Replaces the whole content of an open file; false when it could not.
bool Rewrite(int fd, std::string_view text) {
  if (::ftruncate(fd, 0) != 0) return false;
  for (off_t at = 0; !text.empty();) {
    const ssize_t n = ::pwrite(fd, text.data(), text.size(), at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<size_t>(n));
    at += n;
  }
  return true;
}

// The note of a run that has ended, taken and removed; nothing while its run
// still holds it (or it cannot be opened).
std::optional<std::string> TakeNoteOfEndedRun(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> text;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    text = ReadFrom(fd);
    ::unlink(path.c_str());
  }
  ::close(fd);
  return text;
}

}  // namespace

std::optional<LibraryIdentity> IdentifyLibrary(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  LibraryIdentity id;
  id.path = path;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  id.size = static_cast<uint64_t>(st.st_size);
  id.modifiedNs = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                  static_cast<uint64_t>(st.st_mtim.tv_nsec);
  return id;
}

std::string FormatLeftOut(const std::vector<LeftOutLibrary>& list) {
  std::string out;
  for (const LeftOutLibrary& e : list) AppendRecord(out, e);
  return out;
}

std::vector<LeftOutLibrary> ParseLeftOut(std::string_view text) {
  std::vector<LeftOutLibrary> out;
  while (std::optional<LeftOutLibrary> e = TakeRecord(text)) out.push_back(std::move(*e));
  return out;
}

std::string LeftOutLibrariesNote(const std::vector<LeftOutLibrary>& libraries, int boundSeconds) {
  std::string note;
  for (const LeftOutLibrary& e : libraries) {
    if (!note.empty()) note += "\n\n";
    note += "Библиотека «" + e.file.path + "» ";
    // A start stuck in a library is made afresh or ended: either way that
    // start was cut short.
    note += e.fault == LibraryFault::kTooSlow
                ? "не ответила за " + std::to_string(boundSeconds) +
                      " секунд, пока я её загружал, и запуск пришлось прервать."
                : "в прошлый раз закрыла программу, пока я её загружал.";
  }
  note += libraries.size() == 1 ? "\n\nТеперь я её не загружаю, пока её файл не изменится. "
                                  "Чтобы убрать её совсем, удалите этот файл."
                                : "\n\nТеперь я их не загружаю, пока их файлы не изменятся. "
                                  "Чтобы убрать их совсем, удалите эти файлы.";
  return note;
}

LibraryJournal::LibraryJournal(std::string folder) : folder_(std::move(folder)) {}

LibraryJournal::~LibraryJournal() {
  if (noteFd_ < 0) return;
  ::unlink(notePath_.c_str());
  ::close(noteFd_);
}

std::vector<LeftOutLibrary> LibraryJournal::TakeOverEndedRuns() {
  std::vector<LeftOutLibrary> fresh;
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const std::string path = it->path().string();
    if (path == notePath_) continue;
    if (name.starts_with(kNewNotePrefix)) {
      TakeNoteOfEndedRun(path);  // a run that ended before its note had a name
      continue;
    }
    if (!name.starts_with(kNotePrefix)) continue;
    if (std::optional<std::string> note = TakeNoteOfEndedRun(path))
      for (LeftOutLibrary& e : ParseLeftOut(*note)) fresh.push_back(std::move(e));
  }
  const std::string listPath = folder_ + "/" + std::string(kListName);
  const int fd = ::open(listPath.c_str(),
                        O_RDWR | O_NOFOLLOW | O_CLOEXEC | (fresh.empty() ? 0 : O_CREAT), 0600);
  if (fd < 0) {
    leftOut_ = fresh;
    return fresh;
  }
  ::flock(fd, LOCK_EX);  // another copy starting now waits for this one
  std::vector<LeftOutLibrary> list = ParseLeftOut(ReadFrom(fd));
  const std::vector<LeftOutLibrary> before = list;
  list.insert(list.end(), fresh.begin(), fresh.end());
  // A file that changed since is given another chance; so is a file noted
  // twice, once is enough.
  std::vector<LeftOutLibrary> kept;
  for (const LeftOutLibrary& e : list) {
    const std::optional<LibraryIdentity> now = IdentifyLibrary(e.file.path);
    if (!now || !(*now == e.file)) continue;
    std::erase_if(kept, [&e](const LeftOutLibrary& k) { return k.file == e.file; });
    kept.push_back(e);
  }
  if (kept.size() > kMaxLeftOut) kept.erase(kept.begin(), kept.end() - kMaxLeftOut);
  if (kept != before) Rewrite(fd, FormatLeftOut(kept));
  ::close(fd);
  leftOut_ = std::move(kept);
  return fresh;
}

bool LibraryJournal::IsLeftOut(const std::string& path) const {
  if (leftOut_.empty()) return false;
  const std::optional<LibraryIdentity> id = IdentifyLibrary(path);
  return id && std::any_of(leftOut_.begin(), leftOut_.end(),
                           [&id](const LeftOutLibrary& e) { return e.file == *id; });
}

bool LibraryJournal::Begin(const std::string& path) {
  current_ = IdentifyLibrary(path);
  if (!current_) return false;
  if (noteFd_ < 0) {
    // Locked before it gets the name other runs look for, so that no run
    // ever takes it for the note of one that has ended.
    std::error_code ec;
    fs::create_directories(folder_, ec);
    std::string name = folder_ + "/" + std::string(kNewNotePrefix) + "XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    const std::string named =
        folder_ + "/" + std::string(kNotePrefix) + name.substr(name.size() - 6);
    if (::flock(fd, LOCK_EX) != 0 || ::rename(name.c_str(), named.c_str()) != 0) {
      ::unlink(name.c_str());
      ::close(fd);
      return false;
    }
    noteFd_ = fd;
    notePath_ = named;
  }
  slowNote_ = FormatLeftOut({{*current_, LibraryFault::kTooSlow}});
  return Rewrite(noteFd_, FormatLeftOut({{*current_, LibraryFault::kEndedTheRun}}));
}

void LibraryJournal::End() {
  if (noteFd_ >= 0 && current_) Rewrite(noteFd_, {});
  current_.reset();
}

bool LibraryJournal::MarkTooSlow() {
  return noteFd_ >= 0 && current_ && Rewrite(noteFd_, slowNote_);
}

}  // namespace prambus
