// Saves in progress, on record. A save leaves files on the disk while it
// runs: the complete copy that is renamed over the file, the backup of a
// file rewritten in place, a printed PDF before it is copied to its place.
// Each is put on record in the user's journal folder (a private folder, see
// io/private_folder.h) before it is made, and the record goes after the file
// has gone. A running program keeps its records locked. A record found
// unlocked was left by a program that was killed or crashed, and the next
// start deals with it: temporary copies, backups of files that were not yet
// touched and backups of files written to the end are removed; the backup
// of a file that was being rewritten is offered back to the user, since that
// file may now hold new bytes followed by old ones.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

enum class SaveStage : char {
  kTemporary = 't',  // a copy that replaces nothing while it is written
  kBackingUp = 'b',  // a backup being made; the file itself is untouched
  kRewriting = 'r',  // the file is being rewritten; the backup holds its old content
  // The new content is written to the end and cut to length, not yet
  // flushed: whole for any later start of the same boot (the system still
  // holds the bytes when only the program was killed), maybe not after the
  // machine went down.
  kWritten = 'w',
  kSettled = 'd',  // the file is whole again (new content, or old put back); the backup may go
};

struct SaveRecord {
  SaveStage stage = SaveStage::kTemporary;
  std::string target;    // the file saved (or printed to)
  std::string leftover;  // the temporary copy or the backup
  // The file rewritten in place, so that a file replaced since is never
  // given the backup's content.
  uint64_t targetDevice = 0, targetInode = 0;
  // The system's boot the record was made in (empty when unknown): a file
  // written to the end but not flushed is whole only within that boot.
  std::string boot;
  bool operator==(const SaveRecord&) const = default;
};

std::string FormatSaveRecord(const SaveRecord& record);
// Nothing for anything FormatSaveRecord cannot have written.
std::optional<SaveRecord> ParseSaveRecord(std::string_view text);

// This boot of the system, as it names itself; empty when it cannot be told.
const std::string& CurrentBoot();

// Whether a record left behind names a file that may hold new bytes followed
// by old ones, so its backup is to be offered back.
bool MayBeHalfWritten(const SaveRecord& record, const std::string& currentBoot);

// $XDG_STATE_HOME/prambus/saves, else ~/.local/state/prambus/saves.
std::string SaveJournalFolder();

// A file of the user's alone, on record while it exists: created
// exclusively (mode 0600, never through a link or a name someone else put
// there) under a name no one can predict, prefix + 6 random characters +
// suffix. Its record is written first, so the file never exists without
// one; when the journal cannot be written the file is made all the same,
// without a record. The file is removed with the object unless kept, and
// the record goes after it.
class RecordedFile {
 public:
  RecordedFile(const std::string& prefix, const std::string& suffix, SaveRecord record,
               const std::string& journalFolder);
  ~RecordedFile();
  RecordedFile(const RecordedFile&) = delete;
  RecordedFile& operator=(const RecordedFile&) = delete;

  bool created() const { return fd_ >= 0 || closed_; }
  int fd() const { return fd_; }
  int error() const { return error_; }  // why it could not be created
  const std::string& path() const { return path_; }
  bool OnRecord() const { return recordFd_ >= 0; }
  // The file stays when the object goes (renamed into place, or left for
  // the user); its record goes all the same.
  void Keep() { kept_ = true; }
  bool Close();
  // Moves the record on to the stage; to kRewriting flushed to the disk
  // before it returns (a record saying less than that may be lost). When that fails the record is
  // taken off altogether (never left saying less than is true) and the result is false.
  bool Advance(SaveStage stage);

 private:
  bool WriteRecord(const std::string& folder, const SaveRecord& record);
  void RemoveRecord();

  std::string path_;
  int fd_ = -1;
  int error_ = 0;
  bool kept_ = false;
  bool closed_ = false;
  int recordFd_ = -1;
  std::string recordPath_;
  off_t stageOffset_ = 0;
};

// A record left by a program that no longer runs. Held locked while the
// object lives, so another copy of the program starting meanwhile leaves it
// alone.
class LeftoverSave {
 public:
  LeftoverSave(int fd, std::string recordPath, SaveRecord record);
  ~LeftoverSave();
  LeftoverSave(LeftoverSave&& other) noexcept;
  LeftoverSave& operator=(LeftoverSave&&) = delete;
  LeftoverSave(const LeftoverSave&) = delete;

  const SaveRecord& Record() const { return record_; }
  // Takes the record off; whatever it names stays as it is.
  void Forget();

 private:
  int fd_;
  std::string recordPath_;
  SaveRecord record_;
};

// Deals with the records left in the folder: a temporary copy, or a backup
// of a file that was never touched or was written to the end, is removed
// with its record, and so is a record that does not parse (a program killed
// while writing it). Returns the saves that may have left their file half
// written (MayBeHalfWritten), whose backups are to be offered to the user.
std::vector<LeftoverSave> ClearLeftoverSaves(const std::string& folder);

enum class PutBackResult {
  kPutBack,         // the file holds the backup's content again; backup and record gone
  kBackupMissing,   // the backup is no longer there (or is not the user's)
  kTargetReplaced,  // another file has the name now; it was not touched
  kFailed,          // writing failed; the backup and the record stay
};
struct PutBackOutcome {
  PutBackResult result = PutBackResult::kFailed;
  int error = 0;  // the system's error number when it failed
};

// Writes the backup's content over the file in place (it keeps its other
// names, owner and mode), flushed, then removes the backup and the record.
PutBackOutcome PutBackBackup(LeftoverSave& save);

// Whether the backup the record names is there, the user's own file.
bool BackupPresent(const SaveRecord& record);

}  // namespace prambus
