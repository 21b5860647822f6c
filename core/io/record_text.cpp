#include "io/record_text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

namespace prambus {

void AppendRecordNumber(std::string& out, std::string_view key, uint64_t value) {
  out += key;
  out += ' ';
  out += std::to_string(value);
  out += '\n';
}

void AppendRecordBytes(std::string& out, std::string_view key, std::string_view bytes) {
  AppendRecordNumber(out, key, bytes.size());
  out += bytes;
  out += '\n';
}

std::optional<uint64_t> TakeRecordNumber(std::string_view& text, std::string_view key) {
  if (text.substr(0, key.size()) != key || text.size() <= key.size() || text[key.size()] != ' ')
    return std::nullopt;
  std::string_view rest = text.substr(key.size() + 1);
  const size_t end = rest.find('\n');
  if (end == std::string_view::npos || end == 0 || rest[0] < '0' || rest[0] > '9' ||
      (rest[0] == '0' && end > 1))
    return std::nullopt;
  uint64_t value = 0;
  const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + end, value);
  if (ec != std::errc() || ptr != rest.data() + end) return std::nullopt;
  text = rest.substr(end + 1);
  return value;
}

std::optional<std::string> TakeRecordBytes(std::string_view& text, std::string_view key) {
  std::string_view rest = text;
  const std::optional<uint64_t> n = TakeRecordNumber(rest, key);
  if (!n || rest.size() <= *n || rest[*n] != '\n') return std::nullopt;
  std::string bytes(rest.substr(0, *n));
  text = rest.substr(*n + 1);
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

std::optional<std::string> ReadSmallFile(int fd, size_t maxBytes) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
      static_cast<uint64_t>(st.st_size) > maxBytes)
    return std::nullopt;
  std::string text(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    done += static_cast<size_t>(n);
  }
  return text;
}

}  // namespace prambus
