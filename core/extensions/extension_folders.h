// Where skin and plug-in libraries are looked for, and the libraries found.
#pragma once

#include <unistd.h>

#include <string>
#include <vector>

namespace prambus {

// The folders that hold "skins" and "plugins" subfolders, in the order they
// are searched: the program's own folder, the installed library folder of
// the prefix the build was configured for (`<prefix>/lib/prambus`) and the
// user's data folder (`$XDG_DATA_HOME/prambus`). No folder is guessed from
// where the program happens to lie (a `../lib` beside a copy unpacked in a
// shared folder could be anyone's). Empty or relative entries are left out
// (a relative folder would depend on the current directory), and so is a
// folder already listed; ".." steps are resolved.
std::vector<std::string> ExtensionSearchFolders(const std::string& programFolder,
                                                const std::vector<std::string>& installedFolders,
                                                const std::string& userDataFolder);

struct LibraryFile {
  std::string storedPath;    // "skins/NAME.so": how the choice is remembered
  std::string absolutePath;  // where it is loaded from
};

// A library left out because someone other than root and the user could
// have put it there or changed it.
struct RefusedLibrary {
  std::string path;
  std::string why;  // the user's words
};

// The `*.so` files in `<folder>/<kind>` of each folder ("skins" or
// "plugins"), each folder's files sorted by name. Regular files only (a
// symbolic link counts when it leads to one). A library runs as whoever
// starts the program, so only trusted ones are listed (`CheckTrusted` for
// `user`: the subfolder, the file and what a link leads to); the others go
// to `refused`. A name found in an earlier folder hides the same name in a
// later one, so a stored path always names one library.
std::vector<LibraryFile> ListLibraries(const std::vector<std::string>& folders,
                                       const std::string& kind,
                                       std::vector<RefusedLibrary>* refused = nullptr,
                                       uid_t user = geteuid());

// The note that tells the user which libraries were left out and what to
// change so that they load; at most `shown` of them are named.
std::string RefusedLibrariesNote(const std::vector<RefusedLibrary>& refused, size_t shown = 10);

}  // namespace prambus
