#include "io/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "extensions/trusted_path.h"

namespace prambus {
namespace {

FolderTrust TrustOf(const struct stat& st) {
  if (!S_ISDIR(st.st_mode)) return FolderTrust::kNotFolder;
  if (st.st_uid != ::geteuid()) return FolderTrust::kForeignOwner;
  if ((st.st_mode & 077) != 0) return FolderTrust::kOpenToOthers;
  return FolderTrust::kPrivate;
}

// Each missing folder on the way, made for the user alone.
bool MakeFolders(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return true;
  if (errno != ENOENT) return false;
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return false;
  if (!MakeFolders(path.substr(0, slash))) return false;
  return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

FolderTrust CheckPrivateFolder(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) return FolderTrust::kMissing;
  const FolderTrust trust = TrustOf(st);
  if (trust != FolderTrust::kPrivate) return trust;
  if (CheckTrustedParents(path, ::geteuid())) return FolderTrust::kUnsafePath;
  return FolderTrust::kPrivate;
}

bool EnsurePrivateFolder(const std::string& path) {
  if (path.empty() || !MakeFolders(path)) return false;
  // Looked at and narrowed through one descriptor, so a link swapped in
  // meanwhile is never followed.
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  FolderTrust trust = ::fstat(fd, &st) == 0 ? TrustOf(st) : FolderTrust::kMissing;
  if (trust == FolderTrust::kOpenToOthers && ::fchmod(fd, 0700) == 0) trust = FolderTrust::kPrivate;
  ::close(fd);
  if (trust == FolderTrust::kPrivate && !CheckTrustedParents(path, ::geteuid())) return true;
  errno = EACCES;  // not the user's to use
  return false;
}

bool RemoveOwnFile(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
    return false;
  return ::unlink(path.c_str()) == 0;
}

}  // namespace prambus
