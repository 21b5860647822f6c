// Saving a document without ever losing the file that was there. A complete
// new copy is written first, and the user is never left with neither the old
// nor the new content:
//
// - by rename, when that keeps everything the file is (its folder takes new
//   files, it has one name, its owner, group and extended attributes can be
//   given to the copy): the copy is created exclusively beside the file with
//   mode 0600, gets the file's owner, attributes and mode, is flushed and
//   renamed over the file; the folder is flushed after it;
// - otherwise in place: the old content is first copied to a backup (beside
//   the file, else in the user's cache folder), the file is rewritten, and on
//   any failure the old content is put back from the backup; the backup is
//   deleted once the file holds the one or the other.
//
// The temporary copy and the backup are on record in the user's journal
// while they exist, so a program killed during the save leaves nothing
// unaccounted for: the next start removes the copy, and offers the backup
// back when the file was being rewritten (see save_journal.h).
//
// A symbolic link is followed: the file it names is saved and the link stays.
// Anything but a regular file is refused. The same rules serve data.dat.
#pragma once

#include <functional>
#include <string>

#include "io/io_error.h"

namespace prambus {

enum class SaveResult {
  kSaved,
  kReadOnly,  // the target is write-protected and saving over it was not allowed
  kFailed,    // anything else; SaveOutcome says what
};

enum class SaveMethod {
  kNone,     // nothing was written over the file
  kRename,   // a complete copy renamed over the file
  kInPlace,  // the file itself rewritten, its old content kept in a backup meanwhile
};

struct SaveOutcome {
  SaveResult result = SaveResult::kFailed;
  SaveMethod method = SaveMethod::kNone;
  FileProblem problem = FileProblem::kOther;  // why it failed
  int error = 0;                              // the system's error number, 0 if none
  bool targetExisted = false;
  bool noBackup = false;       // writing in place was needed, but no backup could be made
  bool originalIntact = true;  // false only when the old content could not be put back
  std::string backupKept;      // then: where the old content is
  bool Saved() const { return result == SaveResult::kSaved; }
};

struct SaveOptions {
  bool tryReadOnly = false;  // save over a write-protected file; it stays protected
  // Where a backup goes when it cannot lie beside the file; empty means the
  // user's cache folder. Used only when it is the user's own (made so when
  // missing), see io/private_folder.h.
  std::string backupFolder;
  // Where the temporary copy and the backup are put on record while they
  // exist (see save_journal.h); empty means the user's journal folder.
  std::string journalFolder;
};

// Writes the whole document to fd from its current position, leaving the
// position after the last byte; throws (IoError) on any failure.
using ContentWriter = std::function<void(int fd)>;

SaveOutcome SaveSafely(const std::string& target, const SaveOptions& options,
                       const ContentWriter& write);

// $XDG_CACHE_HOME/prambus, else ~/.cache/prambus.
std::string UserCacheFolder();

}  // namespace prambus
