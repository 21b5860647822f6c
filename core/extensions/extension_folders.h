// Where skin and plug-in libraries are looked for, and the libraries found.
#pragma once

#include <string>
#include <vector>

namespace prambus {

// The folders that hold "skins" and "plugins" subfolders, in the order they
// are searched: the program's own folder, the installed library folders
// (`<prefix>/lib/prambus`: the one beside the program's `bin` folder, so an
// installation moved to another prefix finds its own, then the one the
// build was configured for) and the user's data folder
// (`$XDG_DATA_HOME/prambus`). Empty or relative entries are left out (a
// relative folder would depend on the current directory), and so is a
// folder already listed; ".." steps are resolved.
std::vector<std::string> ExtensionSearchFolders(const std::string& programFolder,
                                                const std::vector<std::string>& installedFolders,
                                                const std::string& userDataFolder);

struct LibraryFile {
  std::string storedPath;    // "skins/NAME.so": how the choice is remembered
  std::string absolutePath;  // where it is loaded from
};

// The `*.so` files in `<folder>/<kind>` of each folder ("skins" or
// "plugins"), each folder's files sorted by name. Regular files only (a
// symbolic link counts when it leads to one). A name found in an earlier
// folder hides the same name in a later one, so a stored path always names
// one library.
std::vector<LibraryFile> ListLibraries(const std::vector<std::string>& folders,
                                       const std::string& kind);

}  // namespace prambus
