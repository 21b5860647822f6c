// Which file a document was read from or written to, as the file system
// tells it: the device and inode, the size, the modification time and the
// status-change time to the nanosecond, and a hash of the content. The
// identity recorded at the last load or save, compared with the file's
// identity now, tells whether another program has changed or replaced the
// file since. The status-change time cannot be set back by a program, so a
// rewrite that restores the size and the modification time still shows;
// where only the times moved (a touch), the hash tells whether the content
// did.
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
  int64_t changedSeconds = 0;  // the status-change time
  int64_t changedNanoseconds = 0;
  bool hashed = false;  // contentHash holds the hash of the content
  uint64_t contentHash = 0;
  bool operator==(const DiskIdentity&) const = default;

  // The same file, untouched: everything the file system tells is equal
  // (the hash is not looked at).
  bool SameStatus(const DiskIdentity& o) const;
  // The same file with the same size, whose times alone may have moved.
  bool SameFileAndSize(const DiskIdentity& o) const;
};

// The identity of the file a path names, symbolic links followed; unknown
// when the path cannot be examined. No hash.
DiskIdentity DiskIdentityOf(const std::string& path);

// The hash of a file's content, read from the start; false when it cannot
// be read to its end.
bool HashFileContent(const std::string& path, uint64_t& hash);

// `identity` (taken from the file at `path` before its bytes were read) with
// the hash of the file's content added, when the file is still exactly that
// one once the hash is taken; otherwise it stays without a hash.
DiskIdentity WithContentHash(const std::string& path, DiskIdentity identity);

// `identity` with `hash`, a hash of the file's content taken while it was
// read after `identity` was (a load that hashed what it read), when the file
// is still exactly that one; otherwise it stays without a hash.
DiskIdentity WithHashTaken(const std::string& path, DiskIdentity identity, uint64_t hash);

}  // namespace prambus
