// Whether a library may be loaded from a place: a library runs as whoever
// starts the program, so it is loaded only where no other user could have
// put it or changed it.
#pragma once

#include <sys/types.h>

#include <string>

namespace prambus {

// Why a file or folder is not trusted, or nothing when it is.
struct PathDistrust {
  enum class Reason {
    kNone,
    kMissing,         // it (or a folder on the way) cannot be looked at
    kForeignOwner,    // owned by someone other than root and the user
    kOthersMayWrite,  // writable by its group or by everyone
  };
  Reason reason = Reason::kNone;
  std::string where;  // the file or folder that fails the rule

  explicit operator bool() const { return reason != Reason::kNone; }
};

// Looks at every step of the path with its links resolved, from "/" down to
// the path itself: each must belong to root or to `user`, and none may be
// writable by its group or by everyone. A folder on the way that is
// writable by others but sticky (as /tmp is) passes: no one else may
// rename or remove what the user or root owns inside it, and the next step
// is checked on its own. The path itself gets no such allowance.
PathDistrust CheckTrusted(const std::string& path, uid_t user);

// The same rule for the folders above `path` only, the last of them allowed
// to be a sticky shared folder too: for a folder the program makes private
// itself (see io/private_folder.h), which may lie in /tmp.
PathDistrust CheckTrustedParents(const std::string& path, uid_t user);

// The user's words for a refusal: what fails and why.
std::string DescribeDistrust(const PathDistrust& distrust);

}  // namespace prambus
