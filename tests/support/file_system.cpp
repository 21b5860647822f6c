#include "support/file_system.h"

#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "support/temp_dir.h"

namespace prambus {

std::optional<OtherUser> Nobody() {
  if (::geteuid() != 0) return std::nullopt;
  const struct passwd* pw = ::getpwnam("nobody");
  if (!pw || pw->pw_uid == 0) return std::nullopt;
  return OtherUser{pw->pw_uid, pw->pw_gid};
}

namespace {

// Runs step in a child process after prepare (which returns false when the
// child cannot be set up) and returns the text step returned.
std::optional<std::string> RunInChild(const std::function<bool()>& prepare,
                                      const std::function<std::string()>& step) {
  int channel[2];
  if (::pipe(channel) != 0) return std::nullopt;
  const pid_t pid = ::fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    ::close(channel[0]);
    if (!prepare()) ::_exit(1);
    // Nothing may leave the child but through _exit: it must never go on
    // running the parent's tests.
    std::string text;
    try {
      text = step();
    } catch (const std::exception& e) {
      text = std::string("exception: ") + e.what();
    } catch (...) {
      ::_exit(1);
    }
    for (size_t done = 0; done < text.size();) {
      const ssize_t w = ::write(channel[1], text.data() + done, text.size() - done);
      if (w <= 0) ::_exit(1);
      done += static_cast<size_t>(w);
    }
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string text;
  char buf[4096];
  for (ssize_t n; (n = ::read(channel[0], buf, sizeof buf)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  ::close(channel[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return text;
}

}  // namespace

std::optional<std::string> RunAs(const OtherUser& user, const std::function<std::string()>& step) {
  return RunInChild(
      [&] {
        return ::setgroups(0, nullptr) == 0 && ::setresgid(user.gid, user.gid, user.gid) == 0 &&
               ::setresuid(user.uid, user.uid, user.uid) == 0;
      },
      step);
}

std::optional<std::string> RunWithLittleMemory(const std::function<std::string()>& step) {
  return RunInChild(
      [] {
#if defined(__SANITIZE_ADDRESS__)
        return true;  // the sanitizer reserves far more address space than any limit
#else
        const struct rlimit limit = {size_t(1) << 30, size_t(1) << 30};
        return ::setrlimit(RLIMIT_AS, &limit) == 0;
#endif
      },
      step);
}

SmallTmpfs::SmallTmpfs(const std::string& path, size_t bytes) : path_(path) {
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
  if (::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0)
    mounted_ = true;
  else
    why_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
}

SmallTmpfs::~SmallTmpfs() {
  if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
}

bool SupportsExtendedAttributes(const std::string& folder) {
  const std::string probe = folder + "/.xattr-probe";
  TempDir::Write(probe, "");
  const std::string acl = AclGrantingRead(::geteuid() == 0 ? 65534 : ::geteuid());
  const bool ok =
      ::setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0 &&
      ::setxattr(probe.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
  ::unlink(probe.c_str());
  return ok;
}

std::string AclGrantingRead(uid_t user) {
  // Header: version 2; entries: tag, permissions, id (little-endian).
  std::string out;
  auto put16 = [&](uint16_t v) {
    out += static_cast<char>(v & 0xFF), out += static_cast<char>(v >> 8);
  };
  auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  put32(2);
  const uint32_t none = 0xFFFFFFFF;
  struct Entry {
    uint16_t tag, perm;
    uint32_t id;
  };
  for (const Entry& e : {Entry{0x01, 6, none}, Entry{0x02, 4, user}, Entry{0x04, 4, none},
                         Entry{0x10, 4, none}, Entry{0x20, 0, none}})
    put16(e.tag), put16(e.perm), put32(e.id);
  return out;
}

std::optional<std::string> Attribute(const std::string& file, const std::string& name) {
  const ssize_t n = ::lgetxattr(file.c_str(), name.c_str(), nullptr, 0);
  if (n < 0) return std::nullopt;
  std::string value(static_cast<size_t>(n), '\0');
  if (::lgetxattr(file.c_str(), name.c_str(), value.data(), value.size()) != n) return std::nullopt;
  return value;
}

}  // namespace prambus
