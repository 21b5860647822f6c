// Folders the program keeps for the user alone: the cache with backups, the
// journal of saves in progress, the recovery copies of documents, the
// sockets of the single-copy hand-over. Anyone else who could put a file
// there could plant a "recovery copy" the user would save over their own
// file, or listen for the names of the files the user opens; so such a
// folder is used only when it is the user's own: a real folder (not a link),
// owned by the user, open to no one else, below folders no other user may
// change (see extensions/trusted_path.h).
#pragma once

#include <string>

namespace prambus {

enum class FolderTrust {
  kPrivate,
  kMissing,       // nothing there, or it cannot be looked at
  kNotFolder,     // a link, a file or anything else but a folder
  kForeignOwner,  // another user's
  kOpenToOthers,  // its group or everyone may enter or change it
  kUnsafePath,    // a folder above it may be changed by another user
};

// Looks at the folder without changing anything.
FolderTrust CheckPrivateFolder(const std::string& path);

// Makes the folder ready for use: creates it (and its missing parents)
// with mode 0700, and narrows the mode of a folder of the user's own that
// others may enter. False when it is not private afterwards (another
// user's, a link, on an unsafe path, or it cannot be made); errno then says
// why (EACCES for a folder that is not the user's to use).
bool EnsurePrivateFolder(const std::string& path);

// Removes a file the user owns, and nothing else: not a link, not a file
// someone else put at the name. False when nothing was removed.
bool RemoveOwnFile(const std::string& path);

}  // namespace prambus
