#include "shell/handover_folder.h"

#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "io/private_folder.h"

namespace prambus {
namespace {

std::string Prefix() {
  return "prambus-" + std::to_string(::geteuid());
}

// The runtime folder's own candidate, when the runtime folder is the user's.
std::string RuntimeCandidate(const std::string& runtimeDir) {
  if (runtimeDir.empty() || runtimeDir[0] != '/' ||
      CheckPrivateFolder(runtimeDir) != FolderTrust::kPrivate)
    return {};
  return runtimeDir + "/" + Prefix();
}

// Folders <tmp>/prambus-<uid>-XXXXXX that are private, in name order.
std::vector<std::string> MadeFolders(const std::string& tmpDir) {
  std::vector<std::string> found;
  const std::string prefix = Prefix() + "-";
  std::error_code ec;
  for (std::filesystem::directory_iterator it(tmpDir, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string path = tmpDir + "/" + name;
    if (CheckPrivateFolder(path) == FolderTrust::kPrivate) found.push_back(path);
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

std::string HandOverFolder(const std::string& runtimeDir, const std::string& tmpDir) {
  const std::string runtime = RuntimeCandidate(runtimeDir);
  if (!runtime.empty() && EnsurePrivateFolder(runtime)) return runtime;
  if (tmpDir.empty() || tmpDir[0] != '/') return {};
  const std::string shared = tmpDir + "/" + Prefix();
  if (EnsurePrivateFolder(shared)) return shared;
  // Someone else has the name: a folder of a name no one can guess instead.
  const std::vector<std::string> made = MadeFolders(tmpDir);
  if (!made.empty()) return made.front();
  std::string pattern = tmpDir + "/" + Prefix() + "-XXXXXX";
  if (!::mkdtemp(pattern.data()) || CheckPrivateFolder(pattern) != FolderTrust::kPrivate) return {};
  return pattern;
}

std::vector<std::string> HandOverFolders(const std::string& runtimeDir, const std::string& tmpDir) {
  std::vector<std::string> folders;
  const std::string runtime = RuntimeCandidate(runtimeDir);
  if (!runtime.empty() && CheckPrivateFolder(runtime) == FolderTrust::kPrivate)
    folders.push_back(runtime);
  if (tmpDir.empty() || tmpDir[0] != '/') return folders;
  const std::string shared = tmpDir + "/" + Prefix();
  if (CheckPrivateFolder(shared) == FolderTrust::kPrivate) folders.push_back(shared);
  for (std::string& made : MadeFolders(tmpDir)) folders.push_back(std::move(made));
  return folders;
}

bool PeerIsUser(int socketFd) {
  struct ucred cred {};
  socklen_t length = sizeof cred;
  return ::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 &&
         length == sizeof cred && cred.uid == ::geteuid();
}

bool IsOwnSocket(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid();
}

namespace {
// Refused at once: nobody listens there. A listener whose queue is full
// (EAGAIN) or any other answer leaves the socket alone.
bool NobodyListens(const std::string& path) {
  sockaddr_un addr{};
  if (path.size() >= sizeof(addr.sun_path)) return false;
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.data(), path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool refused = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0 &&
                       errno == ECONNREFUSED;
  ::close(fd);
  return refused;
}
}  // namespace

int RemoveStaleSockets(const std::string& folder) {
  int removed = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    const std::string path = entry.path().string();
    if (name.rfind("copy-", 0) != 0 || !IsOwnSocket(path) || !NobodyListens(path)) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace prambus
