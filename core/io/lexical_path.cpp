#include "io/lexical_path.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace prambus {

std::string AbsolutePathOf(std::string_view path, std::string_view currentFolder) {
  if (path.empty()) return {};
  std::string joined;
  if (path.front() != '/') {
    joined.append(currentFolder);
    joined += '/';
  }
  joined.append(path);
  std::vector<std::string_view> names;
  const std::string_view all(joined);
  for (size_t at = 0; at <= all.size();) {
    size_t end = all.find('/', at);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view name = all.substr(at, end - at);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    at = end + 1;
  }
  std::string out;
  for (std::string_view name : names) {
    out += '/';
    out.append(name);
  }
  return out.empty() ? "/" : out;
}

std::string AbsolutePathOf(std::string_view path) {
  if (!path.empty() && path.front() == '/') return AbsolutePathOf(path, "/");
  const std::unique_ptr<char, decltype(&::free)> here(::getcwd(nullptr, 0), &::free);
  // With no working folder to be told of, the name is kept as given: the
  // file is then opened as the system finds it.
  if (!here) return std::string(path);
  return AbsolutePathOf(path, here.get());
}

std::string FolderOf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string_view::npos) return ".";
  return slash == 0 ? "/" : std::string(path.substr(0, slash));
}

}  // namespace prambus
