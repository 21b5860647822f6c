// Which library a start was busy with when it ended. Before a library is
// loaded to be listed, a note naming it is written; after, the note is
// emptied. A start that finds the note of a run that is gone knows that
// library took that run down (or made it end itself, being too slow), and
// leaves it out from then on, as long as its file stays the same, so a
// faulty library costs one start, not every start.
//
// Each run keeps its note in a file of its own that it holds locked while it
// runs: a note that can be locked belongs to a run that has ended.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

// A library file as it was: a changed or replaced file is another library.
struct LibraryIdentity {
  std::string path;
  uint64_t device = 0, inode = 0, size = 0;
  uint64_t modifiedNs = 0;
  bool operator==(const LibraryIdentity&) const = default;
};
std::optional<LibraryIdentity> IdentifyLibrary(const std::string& path);

enum class LibraryFault { kEndedTheRun, kTooSlow };

struct LeftOutLibrary {
  LibraryIdentity file;
  LibraryFault fault = LibraryFault::kEndedTheRun;
  bool operator==(const LeftOutLibrary&) const = default;
};

// The stored form: one record after another, each on a line of its own
// (the path is length-prefixed, so any byte of a name is kept).
std::string FormatLeftOut(const std::vector<LeftOutLibrary>& list);
// The records up to the first one FormatLeftOut cannot have written.
std::vector<LeftOutLibrary> ParseLeftOut(std::string_view text);

// Libraries remembered as left out at most; the oldest go first.
inline constexpr size_t kMaxLeftOut = 32;

// The note that tells the user which libraries are left out from now on,
// why, and how to be rid of them.
std::string LeftOutLibrariesNote(const std::vector<LeftOutLibrary>& libraries, int boundSeconds);

class LibraryJournal {
 public:
  // Notes and the left-out list live in `folder` (created when missing).
  explicit LibraryJournal(std::string folder);
  ~LibraryJournal();  // this run's note goes: the listing is over
  LibraryJournal(const LibraryJournal&) = delete;
  LibraryJournal& operator=(const LibraryJournal&) = delete;

  // At start: the libraries named by notes of runs that have ended join the
  // left-out list, and are returned to be told to the user. Entries whose
  // file has changed or gone since are dropped from the list.
  std::vector<LeftOutLibrary> TakeOverEndedRuns();
  // Whether the file at path is one the list leaves out.
  bool IsLeftOut(const std::string& path) const;

  // Around loading one library and reading its strings. Without a place to
  // write the note, listing goes on unprotected: then Begin says false.
  bool Begin(const std::string& path);
  void End();
  // The library of the open note is taking too long (from another thread,
  // while Begin's caller is stuck in it): the note says so. False when there
  // is no note or it could not be written.
  bool MarkTooSlow();

 private:
  std::string folder_;
  int noteFd_ = -1;
  std::string notePath_;
  std::optional<LibraryIdentity> current_;
  std::string slowNote_;  // ready before it is needed: no allocation then
  std::vector<LeftOutLibrary> leftOut_;
};

}  // namespace prambus
