#include "io/disk_identity.h"

#include <sys/stat.h>

namespace prambus {

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
  return id;
}

}  // namespace prambus
