#include "io/disk_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace prambus {

namespace {

// A fast 64-bit hash over 8-byte words (the tail padded with zeros and the
// length mixed in at the end): it tells content apart, nothing more; it is
// never a guard against someone forging a file.
class ContentHasher {
 public:
  void Add(const unsigned char* p, size_t n) {
    length_ += n;
    while (n > 0 && pendingBytes_ > 0) {
      Push(*p++);
      --n;
    }
    for (; n >= 8; p += 8, n -= 8) {
      uint64_t w;
      std::memcpy(&w, p, 8);
      Mix(w);
    }
    while (n-- > 0) Push(*p++);
  }
  uint64_t Finish() {
    if (pendingBytes_ > 0) Mix(pending_);
    Mix(length_);
    uint64_t h = state_;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
  }

 private:
  void Push(unsigned char c) {
    pending_ |= uint64_t{c} << (8 * pendingBytes_);
    if (++pendingBytes_ == 8) {
      Mix(pending_);
      pending_ = 0;
      pendingBytes_ = 0;
    }
  }
  void Mix(uint64_t w) {
    state_ ^= w * 0x9e3779b97f4a7c15ULL;
    state_ = (state_ << 31 | state_ >> 33) * 0xc2b2ae3d27d4eb4fULL;
  }
  uint64_t state_ = 0x243f6a8885a308d3ULL;
  uint64_t length_ = 0;
  uint64_t pending_ = 0;
  int pendingBytes_ = 0;
};

}  // namespace

bool DiskIdentity::SameFileAndSize(const DiskIdentity& o) const {
  return known && o.known && device == o.device && inode == o.inode && size == o.size;
}

bool DiskIdentity::SameStatus(const DiskIdentity& o) const {
  return SameFileAndSize(o) && modifiedSeconds == o.modifiedSeconds &&
         modifiedNanoseconds == o.modifiedNanoseconds && changedSeconds == o.changedSeconds &&
         changedNanoseconds == o.changedNanoseconds;
}

DiskIdentity DiskIdentityOf(const std::string& path) {
  DiskIdentity id;
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return id;
  id.known = true;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  id.size = static_cast<int64_t>(st.st_size);
  id.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
  id.modifiedNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
  id.changedSeconds = static_cast<int64_t>(st.st_ctim.tv_sec);
  id.changedNanoseconds = static_cast<int64_t>(st.st_ctim.tv_nsec);
  return id;
}

bool HashFileContent(const std::string& path, uint64_t& hash) {
  // Never blocks on a FIFO someone put in the file's place.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  ContentHasher hasher;
  std::vector<unsigned char> buffer(size_t(1) << 20);
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false;
    if (got <= 0) break;
    hasher.Add(buffer.data(), static_cast<size_t>(got));
  }
  ::close(fd);
  if (ok) hash = hasher.Finish();
  return ok;
}

DiskIdentity WithContentHash(const std::string& path, DiskIdentity identity) {
  identity.hashed = false;
  if (!identity.known) return identity;
  uint64_t hash = 0;
  if (!HashFileContent(path, hash)) return identity;
  if (!DiskIdentityOf(path).SameStatus(identity)) return identity;
  identity.hashed = true;
  identity.contentHash = hash;
  return identity;
}

}  // namespace prambus
