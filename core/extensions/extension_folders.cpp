#include "extensions/extension_folders.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace prambus {

namespace fs = std::filesystem;

std::vector<std::string> ExtensionSearchFolders(const std::string& programFolder,
                                                const std::vector<std::string>& installedFolders,
                                                const std::string& userDataFolder) {
  std::vector<std::string> candidates = {programFolder};
  candidates.insert(candidates.end(), installedFolders.begin(), installedFolders.end());
  candidates.push_back(userDataFolder);
  std::vector<std::string> out;
  std::set<std::string> seen;
  for (const std::string& folder : candidates) {
    if (folder.empty() || folder.front() != '/') continue;
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(fs::path(folder), ec);
    const std::string key = ec ? folder : canonical.string();
    if (seen.insert(key).second) out.push_back(key);
  }
  return out;
}

std::vector<LibraryFile> ListLibraries(const std::vector<std::string>& folders,
                                       const std::string& kind) {
  std::vector<LibraryFile> out;
  std::set<std::string> names;
  for (const std::string& folder : folders) {
    std::error_code ec;
    std::vector<std::string> found;
    for (fs::directory_iterator it(fs::path(folder) / kind, ec), end; !ec && it != end;
         it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.size() <= 3 || name.compare(name.size() - 3, 3, ".so") != 0) continue;
      std::error_code typeError;
      if (!fs::is_regular_file(it->path(), typeError)) continue;
      found.push_back(name);
    }
    std::sort(found.begin(), found.end());
    for (const std::string& name : found) {
      if (!names.insert(name).second) continue;
      out.push_back({kind + "/" + name, (fs::path(folder) / kind / name).string()});
    }
  }
  return out;
}

}  // namespace prambus
