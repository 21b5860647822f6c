// Where the desktop learns which program opens which file type. The program
// registers itself there and binds file extensions to itself; unbinding
// gives an extension back to the program that had it before.
#pragma once

#include <optional>
#include <string>

#include "io/io_error.h"

namespace prambus {

// What a binding could not do: the file it could not read or write and
// why, or the helper program that failed.
struct AssociationFailure {
  std::string path;
  bool reading = false;
  FileProblem problem = FileProblem::kOther;
  int error = 0;
  std::string program;  // set when a helper program failed instead
  bool operator==(const AssociationFailure&) const = default;
};

class AssociationStore {
 public:
  virtual ~AssociationStore() = default;

  // Makes the program known to the desktop as one that opens files. False
  // when that could not be written.
  virtual bool RegisterApplication() = 0;
  // Whether files of the extension (".txt") open with this program now, as
  // the desktop sees it; false on any error.
  virtual bool IsBoundToProgram(const std::string& ext) = 0;
  // Makes this program the one that opens files of the extension, keeping
  // the former one to give back. writeProgramEntry asks for the program's
  // own entry to be written afresh first. False when something could not be
  // written; the extension is then not bound.
  virtual bool BindExtension(const std::string& ext, bool writeProgramEntry) = 0;
  // Gives a bound extension back to its former program; nothing happens when
  // it is not bound to this one. Failures are silent.
  virtual void UnbindExtension(const std::string& ext) = 0;
  // Why the last BindExtension that returned false failed, when known.
  virtual std::optional<AssociationFailure> LastFailure() const { return std::nullopt; }
};

}  // namespace prambus
