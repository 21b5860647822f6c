#include "extensions/trusted_path.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>

namespace prambus {

namespace {

PathDistrust Distrust(PathDistrust::Reason reason, std::string where) {
  return PathDistrust{reason, std::move(where)};
}

// One step of the path: `last` is the path itself, which may not lean on
// the sticky bit.
PathDistrust CheckStep(const std::string& step, uid_t user, bool last) {
  struct stat st;
  if (lstat(step.c_str(), &st) != 0) return Distrust(PathDistrust::Reason::kMissing, step);
  if (st.st_uid != 0 && st.st_uid != user)
    return Distrust(PathDistrust::Reason::kForeignOwner, step);
  const bool othersMayWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
  const bool stickyFolder = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0;
  if (othersMayWrite && (last || !stickyFolder))
    return Distrust(PathDistrust::Reason::kOthersMayWrite, step);
  return {};
}

// Every step of the path with its links resolved, "/" first; the path
// itself is held to the strict rule only when lastStrict.
PathDistrust CheckChain(const std::string& path, uid_t user, bool lastStrict) {
  std::unique_ptr<char, decltype(&free)> resolved(realpath(path.c_str(), nullptr), &free);
  if (!resolved) return Distrust(PathDistrust::Reason::kMissing, path);
  const std::string real = resolved.get();
  if (real == "/") return CheckStep(real, user, lastStrict);
  if (PathDistrust d = CheckStep("/", user, false)) return d;
  for (size_t slash = real.find('/', 1); slash != std::string::npos;
       slash = real.find('/', slash + 1))
    if (PathDistrust d = CheckStep(real.substr(0, slash), user, false)) return d;
  return CheckStep(real, user, lastStrict);
}

}  // namespace

PathDistrust CheckTrusted(const std::string& path, uid_t user) {
  return CheckChain(path, user, true);
}

PathDistrust CheckTrustedParents(const std::string& path, uid_t user) {
  const size_t slash = path.find_last_of('/');
  const std::string parent =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  return CheckChain(parent, user, false);
}
std::string DescribeDistrust(const PathDistrust& distrust) {
  switch (distrust.reason) {
    case PathDistrust::Reason::kNone:
      return {};
    case PathDistrust::Reason::kMissing:
      return "«" + distrust.where + "» не удалось проверить";
    case PathDistrust::Reason::kForeignOwner:
      return "«" + distrust.where + "» принадлежит другому пользователю";
    case PathDistrust::Reason::kOthersMayWrite:
      return "в «" + distrust.where + "» могут писать другие пользователи";
  }
  return {};
}

}  // namespace prambus
