#include "extensions/extension_folders.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "extensions/trusted_path.h"

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
                                       const std::string& kind,
                                       std::vector<RefusedLibrary>* refused, uid_t user) {
  std::vector<LibraryFile> out;
  std::set<std::string> names;
  for (const std::string& folder : folders) {
    const fs::path place = fs::path(folder) / kind;
    std::error_code ec;
    std::vector<std::string> found;
    for (fs::directory_iterator it(place, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.size() <= 3 || name.compare(name.size() - 3, 3, ".so") != 0) continue;
      std::error_code typeError;
      if (!fs::is_regular_file(it->path(), typeError)) continue;
      found.push_back(name);
    }
    if (found.empty()) continue;
    std::sort(found.begin(), found.end());
    const PathDistrust placeDistrust = CheckTrusted(place.string(), user);
    for (const std::string& name : found) {
      const std::string path = (place / name).string();
      const PathDistrust distrust = placeDistrust ? placeDistrust : CheckTrusted(path, user);
      if (distrust) {
        if (refused) refused->push_back({path, DescribeDistrust(distrust)});
        continue;
      }
      if (!names.insert(name).second) continue;
      out.push_back({kind + "/" + name, path});
    }
  }
  return out;
}

std::string RefusedLibrariesNote(const std::vector<RefusedLibrary>& refused, size_t shown) {
  std::string note =
      "Эти библиотеки не загружены: их мог подложить или изменить другой пользователь.\n";
  for (size_t i = 0; i < refused.size() && i < shown; ++i)
    note += "\n" + refused[i].path + ": " + refused[i].why + ".";
  if (refused.size() > shown) note += "\n…и ещё " + std::to_string(refused.size() - shown) + ".";
  note +=
      "\n\nБиблиотека загружается, когда она и каждая папка на пути к ней принадлежат вам или "
      "root и писать в них не могут ни группа, ни остальные пользователи (chmod go-w).";
  return note;
}

}  // namespace prambus
