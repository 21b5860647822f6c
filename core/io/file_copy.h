// Copying what a file is to another file: its bytes (holes stay holes, so a
// large sparse file is copied at once) and its extended attributes (ACLs,
// security labels, user attributes). Both work on open descriptors, so the
// names cannot be swapped underneath.
#pragma once

#include <cstdint>

namespace prambus {

// Makes `to` hold bytes [0, size) of `from`: data regions are copied to the
// same offsets, holes are left unwritten, and `to` is cut or extended to size.
// Returns 0 or the error number of the failure (ENODATA when `from` ended
// before size).
int CopyFileBytes(int from, int to, int64_t size);

// Makes `to` hold exactly bytes [0, size) of `from`, flushed to the disk:
// how a backup is put back into the file it was taken from, in place.
// Returns 0 or the error number of the failure.
int ReplaceFileContent(int from, int to, int64_t size);

// Gives `to` exactly the extended attributes of `from`: each of them copied,
// any that `from` lacks removed. Returns 0 or the error number of the first
// attribute that could not be copied or removed.
int CopyExtendedAttributes(int from, int to);

}  // namespace prambus
