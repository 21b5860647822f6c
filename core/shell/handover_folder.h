// Where running copies of the program meet for the hand-over of a file (one
// copy per file), and whom they talk to there. The requests name the files
// the user opens and the answers make a copy end, so the folder must be the
// user's alone and the other end of every connection the user's own
// program: a folder another user made first, or a socket another user
// listens on, would let them read the requests and answer "shown".
#pragma once

#include <string>
#include <vector>

namespace prambus {

// The folder this copy listens in, made when needed:
// - <runtime>/prambus-<uid> when the runtime folder ($XDG_RUNTIME_DIR) is
//   the user's own (owner the user, mode 0700, not a link);
// - else <tmp>/prambus-<uid> when it is, or can be made, private;
// - else a private folder of an unpredictable name <tmp>/prambus-<uid>-XXXXXX
//   (one already made is used again).
// Empty when there is none: the copy then does without the hand-over.
std::string HandOverFolder(const std::string& runtimeDir, const std::string& tmpDir);

// Every folder where another copy of the user's may listen, by the same
// rules, each only when it is private.
std::vector<std::string> HandOverFolders(const std::string& runtimeDir, const std::string& tmpDir);

// Whether the other end of a connected local socket runs as the user
// (its credentials, as the system gives them).
bool PeerIsUser(int socketFd);

// Whether path is a socket (not a link) the user owns.
bool IsOwnSocket(const std::string& path);

// Removes the sockets of copies that ended without removing their own (a
// kill, a power cut) from a folder: the user's own sockets named "copy-*"
// nobody listens on any more. Returns how many went.
int RemoveStaleSockets(const std::string& folder);

}  // namespace prambus
