// A copy of a modified document written just before a plug-in runs. When the
// plug-in takes the program down, the copy stays behind and the next start
// offers it; when the program ends normally the copy goes. A running program
// keeps its copy locked, so another copy starting meanwhile leaves it alone.
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
  std::string documentPath;   // the file the document belongs to; empty for a new one
  std::string pluginCaption;  // the plug-in that was about to run
  int viewKind = 1;
  int encodingIndex = 0;     // the encoding menu position older programs read
  std::string encodingId{};  // the encoding when that position names another; else empty
  bool operator==(const RecoveryManifest&) const = default;
};

std::string FormatRecoveryManifest(const RecoveryManifest& m);
// Nothing for anything FormatRecoveryManifest cannot have written.
std::optional<RecoveryManifest> ParseRecoveryManifest(std::string_view text);

class RecoveryCopy {
 public:
  RecoveryCopy() = default;
  ~RecoveryCopy();  // removes the copy: the program ends normally
  RecoveryCopy(const RecoveryCopy&) = delete;
  RecoveryCopy& operator=(const RecoveryCopy&) = delete;

  // Writes the document through writeContent(fd) and then its manifest
  // into `folder` (created when missing, mode 0700), replacing this
  // program's earlier copy. Both files are new, readable by the user alone
  // and flushed to the disk before the plug-in runs. writeContent throws
  // on failure; then nothing is left behind and the result is false.
  bool Write(const std::string& folder, const RecoveryManifest& manifest,
             const std::function<void(int fd)>& writeContent);
  void Remove();
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
// do not parse are left alone.
std::vector<OrphanCopy> FindOrphanCopies(const std::string& folder);
void DiscardOrphanCopy(const OrphanCopy& copy);

}  // namespace prambus
