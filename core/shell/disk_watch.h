// Whether the file a document belongs to was changed, replaced or taken away
// by another program, and what the window does about it: asked when the
// window is activated and always before a save. The check is one stat of
// the file; the content is read only when the times alone moved.
#pragma once

#include <string>

#include "io/disk_identity.h"

namespace prambus {

enum class DiskChange {
  kNone,     // the file is as the document last loaded or saved it
  kChanged,  // other content, or another file in its place
  kGone,     // no file at that name any more
};

// Compares the file at `path` with `remembered`, its identity at the last
// load or save. A file whose times alone moved and whose content hashes as
// before is the same file: `remembered` takes its new times, so the content
// is not read again. `now`, when given, receives the file's identity now.
DiskChange CompareWithDisk(const std::string& path, DiskIdentity& remembered,
                           DiskIdentity* now = nullptr);

enum class DiskAction {
  kNothing,
  kAskToReload,     // unmodified: load the new content?
  kReloadQuietly,   // unmodified, and the user wants no question
  kAskAboutEdits,   // modified: load the file, keep the edits or save them elsewhere
  kTellGone,        // the file was deleted or moved away: said once
  kAskToOverwrite,  // before a save: the file on disk changed since
};

// What the window does on activation and before a save. It remembers which
// version of the file the user was already asked about, so that the same
// change is not asked about on every activation; before a save a changed
// file is always asked about.
class DiskWatch {
 public:
  // `now` is the file's identity as the comparison found it.
  DiskAction OnActivation(DiskChange change, const DiskIdentity& now, bool modified,
                          bool reloadQuietly);
  DiskAction BeforeSave(DiskChange change) const;
  // The document now belongs to a file as it is on disk (loaded or saved):
  // a later change or removal is news again.
  void Settled();

 private:
  DiskIdentity askedAbout_;  // the changed file the user answered for
  bool goneTold_ = false;
};

// The texts of the questions and the note, for the file at `path`.
std::string FileChangedQuestion(const std::string& path);
std::string FileChangedUnderEditsQuestion(const std::string& path);
std::string FileChangedBeforeSaveQuestion(const std::string& path);
std::string FileGoneNote(const std::string& path);
inline constexpr const char* kFileChangedCaption = "Файл изменён";

}  // namespace prambus
