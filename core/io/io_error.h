// The failure raised by file operations of the views and the settings store.
// Besides its text it says what went wrong in the terms a message to the user
// needs, and keeps the system's error number when there was one.
#pragma once

#include <stdexcept>
#include <string>

namespace prambus {

enum class FileProblem {
  kOther,           // anything else; the error number tells more
  kMissing,         // the file or a folder on its path does not exist
  kNoPermission,    // access denied, or a read-only file system
  kFolder,          // the path names a folder
  kNotRegularFile,  // a FIFO, a device or a socket: never opened as a document
  kTooLarge,        // longer than the views can address
  kNoSpace,         // the disk or the user's quota is full
  kShortRead,       // the file ended before the size it had when it was opened
  kReplaced,        // another program replaced or removed the file during a save
};

// The problem an error number stands for.
FileProblem ProblemOfErrno(int err);

class IoError : public std::runtime_error {
 public:
  explicit IoError(const std::string& what, FileProblem problem = FileProblem::kOther, int err = 0)
      : std::runtime_error(what), problem_(problem), errno_(err) {}
  // The problem is read from the error number.
  static IoError FromErrno(const std::string& what, int err) {
    return IoError(what, ProblemOfErrno(err), err);
  }

  FileProblem Problem() const { return problem_; }
  int Errno() const { return errno_; }

 private:
  FileProblem problem_;
  int errno_;
};

}  // namespace prambus
