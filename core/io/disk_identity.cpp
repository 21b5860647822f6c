#include "io/disk_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "io/content_hash.h"

namespace prambus {

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
  return WithHashTaken(path, identity, hash);
}

DiskIdentity WithHashTaken(const std::string& path, DiskIdentity identity, uint64_t hash) {
  identity.hashed = false;
  if (!identity.known || !DiskIdentityOf(path).SameStatus(identity)) return identity;
  identity.hashed = true;
  identity.contentHash = hash;
  return identity;
}

}  // namespace prambus
