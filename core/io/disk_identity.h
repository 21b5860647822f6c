// Which file a document was read from or written to, as the file system
// tells it: the device and inode, the size and the modification time to the
// nanosecond. The identity recorded at the last load or save, compared with
// the file's identity now, tells whether another program has changed or
// replaced the file since.
#pragma once

#include <cstdint>
#include <string>

namespace prambus {

struct DiskIdentity {
  bool known = false;  // false: no file (untitled), or it could not be examined
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;
  bool operator==(const DiskIdentity&) const = default;
};

// The identity of the file a path names, symbolic links followed; unknown
// when the path cannot be examined.
DiskIdentity DiskIdentityOf(const std::string& path);

}  // namespace prambus
