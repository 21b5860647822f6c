#include "shell/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace prambus {
namespace {

// The file a path finally names, following symbolic links (the path itself
// when it does not exist yet).
std::string ResolveTarget(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
    if (n <= 0) return current;
    std::string link(buf, static_cast<size_t>(n));
    if (link[0] != '/') {
      const size_t slash = current.find_last_of('/');
      link = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + link;
    }
    current = link;
  }
  return current;
}

bool SyncPath(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

void SyncFolder(const std::string& file) {
  const size_t slash = file.find_last_of('/');
  const std::string dir =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : file.substr(0, slash));
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

SaveResult SaveSafely(const std::string& target, bool tryReadOnly,
                      const std::function<void(const std::string&)>& writeTo) {
  const std::string real = ResolveTarget(target);
  struct stat st {};
  const bool exists = ::stat(real.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return SaveResult::kFailed;
  const bool readOnly = exists && (::access(real.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0);
  if (readOnly && !tryReadOnly) return SaveResult::kReadOnly;

  const std::string temp = real + ".prambus-save";
  try {
    writeTo(temp);
  } catch (const std::exception&) {
    ::unlink(temp.c_str());
    return SaveResult::kFailed;
  }
  const mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~[] {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }());
  if (::chmod(temp.c_str(), mode) != 0 || !SyncPath(temp) ||
      std::rename(temp.c_str(), real.c_str()) != 0) {
    ::unlink(temp.c_str());
    return SaveResult::kFailed;
  }
  SyncFolder(real);
  return SaveResult::kSaved;
}

}  // namespace prambus
