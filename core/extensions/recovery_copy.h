// A copy of a modified document, written a few seconds after the typing
// pauses and just before a plug-in runs. When the program is taken down
// (killed, a plug-in's fault, the session's end), the copy stays behind and
// the next start offers it; once the document is saved or given up the copy
// goes. A running program keeps its copy locked, so another copy starting
// meanwhile leaves it alone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

struct RecoveryManifest {
  std::string
      documentPath;  // the file the document belongs to, its bytes exact; empty for a new one
  std::string pluginCaption;  // the plug-in that was about to run; empty for a copy while typing
  int viewKind = 1;
  int encodingIndex = 0;     // the encoding menu position older programs read
  uint64_t cursor = 0;       // the cursor's offset in the document
  std::string encodingId{};  // the encoding when that position names another; else empty
  bool operator==(const RecoveryManifest&) const = default;
};

std::string FormatRecoveryManifest(const RecoveryManifest& m);
// Nothing for anything FormatRecoveryManifest cannot have written, or an
// earlier version, which wrote no cursor (read as 0).
std::optional<RecoveryManifest> ParseRecoveryManifest(std::string_view text);

// A copy just written and locked by this program, not yet anyone's.
struct WrittenCopy {
  int lockFd = -1;
  std::string manifestPath, contentPath;
  int error = 0;  // why it could not be written: the system's error number
  explicit operator bool() const { return lockFd >= 0; }
};

// Writes a new copy, the document through writeContent(fd) and then its
// manifest, into `folder` (created when missing, mode 0700): both files new,
// readable by the user alone and flushed to the disk. writeContent throws on
// failure; then nothing is left behind and the result is empty but for the
// system's error number (ENOMEM when memory ran short). Touches no
// shared state, so it may run on any thread.
WrittenCopy WriteCopyFiles(const std::string& folder, const RecoveryManifest& manifest,
                           const std::function<void(int fd)>& writeContent);
// Removes a copy no one took over.
void DiscardWrittenCopy(WrittenCopy& copy);

struct OrphanCopy;

class RecoveryCopy {
 public:
  RecoveryCopy() = default;
  ~RecoveryCopy();  // removes the copy: the program ends normally
  RecoveryCopy(const RecoveryCopy&) = delete;
  RecoveryCopy& operator=(const RecoveryCopy&) = delete;

  // Writes a copy (WriteCopyFiles) and holds it in place of the earlier
  // one, which goes only once the new one is whole. False, with the earlier
  // copy kept, when it cannot be written.
  bool Write(const std::string& folder, const RecoveryManifest& manifest,
             const std::function<void(int fd)>& writeContent);
  // Holds a copy written elsewhere in place of the earlier one.
  void Replace(WrittenCopy written);
  // The same, handing the earlier one back to be discarded elsewhere
  // (removing a large file takes a while).
  WrittenCopy Exchange(WrittenCopy written);
  // Holds a copy a previous run left (restored into the window): it stays
  // on disk until this one goes. False when it cannot be held.
  bool Adopt(const OrphanCopy& copy);
  void Remove();
  // Lets go of the copy and leaves it on disk for the next start (the
  // program ends without the user's word on the document).
  void Release();
  bool Present() const { return lockFd_ >= 0; }
  const std::string& ContentPath() const { return contentPath_; }

 private:
  int lockFd_ = -1;
  std::string manifestPath_, contentPath_;
};

// A copy this program holds while it offers it: another start meanwhile
// leaves it alone, so no copy is opened by two programs.
class CopyClaim {
 public:
  explicit CopyClaim(int lockedFd) : fd_(lockedFd) {}
  ~CopyClaim();
  int Fd() const { return fd_; }
  CopyClaim(const CopyClaim&) = delete;
  CopyClaim& operator=(const CopyClaim&) = delete;

 private:
  int fd_;
};

// A copy left by a program that is no longer running.
struct OrphanCopy {
  std::string manifestPath;
  std::string contentPath;
  RecoveryManifest manifest;
  int64_t contentSize = 0;                 // bytes of the document
  int64_t savedAt = 0;                     // when the copy was written, in seconds since 1970
  int64_t order = 0;                       // the same in nanoseconds, for sorting
  std::shared_ptr<const CopyClaim> claim;  // held until the last copy of this goes
};

// Copies in `folder` that no running program holds, oldest first, each
// claimed for this program until it is let go: only the user's own regular
// files, in a folder no one else may write to (an own folder open to others
// is closed first; a copy someone else placed is never offered). Files that
// do not parse are left alone. Pieces of copies whose writer was killed
// midway (a part, a document without a manifest) are removed first once the
// writer is gone and they are ten minutes old.
std::vector<OrphanCopy> FindOrphanCopies(const std::string& folder);
void DiscardOrphanCopy(const OrphanCopy& copy);

}  // namespace prambus
