#include "io/file_copy.h"

#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace prambus {
namespace {

// Copies [begin, end) of from to the same offsets in to: in the kernel when it
// can, else through a buffer.
int CopyRange(int from, int to, int64_t begin, int64_t end) {
  off_t in = begin, out = begin;
  while (in < end) {
    const ssize_t n = ::copy_file_range(from, &in, to, &out, static_cast<size_t>(end - in), 0);
    if (n > 0) continue;
    if (n == 0) return ENODATA;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    std::vector<char> buf(size_t(1) << 20);
    while (in < end) {
      const ssize_t r = ::pread(from, buf.data(), std::min<int64_t>(end - in, buf.size()), in);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) return errno;
      if (r == 0) return ENODATA;
      for (ssize_t done = 0; done < r;) {
        const ssize_t w = ::pwrite(to, buf.data() + done, r - done, out + done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return w < 0 ? errno : ENOSPC;
        done += w;
      }
      in += r;
      out += r;
    }
  }
  return 0;
}

// The names of fd's extended attributes (empty when the file system has none).
int ListAttributes(int fd, std::vector<std::string>& names) {
  names.clear();
  std::vector<char> buf;
  for (;;) {
    const ssize_t n = ::flistxattr(fd, nullptr, 0);
    if (n < 0) return errno == ENOTSUP ? 0 : errno;
    if (n == 0) return 0;
    buf.resize(static_cast<size_t>(n));
    const ssize_t got = ::flistxattr(fd, buf.data(), buf.size());
    if (got < 0 && errno == ERANGE) continue;  // grew meanwhile
    if (got < 0) return errno;
    for (size_t i = 0; i < static_cast<size_t>(got);) {
      const std::string name(buf.data() + i);
      names.push_back(name);
      i += name.size() + 1;
    }
    return 0;
  }
}

}  // namespace

int CopyFileBytes(int from, int to, int64_t size) {
  int64_t pos = 0;
  while (pos < size) {
    off_t data = ::lseek(from, pos, SEEK_DATA);
    if (data < 0) {
      if (errno == ENXIO) break;  // only a hole is left
      if (errno != EINVAL && errno != EOPNOTSUPP) return errno;
      data = pos;  // no hole information: everything is data
    }
    if (data >= size) break;
    off_t hole = ::lseek(from, data, SEEK_HOLE);
    if (hole < 0 || hole > size) hole = size;
    if (const int err = CopyRange(from, to, data, hole)) return err;
    pos = hole;
  }
  return ::ftruncate(to, size) == 0 ? 0 : errno;
}

int ReplaceFileContent(int from, int to, int64_t size) {
  if (::ftruncate(to, 0) != 0) return errno;
  if (const int error = CopyFileBytes(from, to, size)) return error;
  return ::fsync(to) == 0 ? 0 : errno;
}

int CopyExtendedAttributes(int from, int to) {
  std::vector<std::string> wanted, present;
  if (const int err = ListAttributes(from, wanted)) return err;
  if (const int err = ListAttributes(to, present)) return err;
  // Attributes the new file got by itself (a folder's default ACL) go first.
  for (const std::string& name : present) {
    if (std::find(wanted.begin(), wanted.end(), name) != wanted.end()) continue;
    if (::fremovexattr(to, name.c_str()) != 0 && errno != ENODATA) return errno;
  }
  std::vector<char> value;
  for (const std::string& name : wanted) {
    ssize_t n;
    for (;;) {
      n = ::fgetxattr(from, name.c_str(), nullptr, 0);
      if (n < 0) break;
      value.resize(static_cast<size_t>(n));
      n = ::fgetxattr(from, name.c_str(), value.data(), value.size());
      if (n >= 0 || errno != ERANGE) break;
    }
    if (n < 0) {
      if (errno == ENODATA) continue;  // removed meanwhile
      return errno;
    }
    if (::fsetxattr(to, name.c_str(), value.data(), static_cast<size_t>(n), 0) != 0) return errno;
  }
  return 0;
}

}  // namespace prambus
