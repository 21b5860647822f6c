// What the file-safety tests need from the system: running a step as another
// user, a small file system that fills up, extended attributes. Each says
// when the machine cannot provide it, so a test can skip visibly.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

namespace prambus {

struct OtherUser {
  uid_t uid;
  gid_t gid;
};
// The unprivileged "nobody" (with its own group), when this process is root
// and can become it.
std::optional<OtherUser> Nobody();

// Runs step in a child process as that user and returns the text it returned
// (nullopt when the child could not become the user or did not end normally).
std::optional<std::string> RunAs(const OtherUser& user, const std::function<std::string()>& step);

// Runs step in a child process limited to 1 GiB of memory, so a step that
// would read gigabytes fails alone instead of exhausting the machine.
std::optional<std::string> RunWithLittleMemory(const std::function<std::string()>& step);

// A tmpfs of the given size mounted at path for the lifetime of the object.
class SmallTmpfs {
 public:
  SmallTmpfs(const std::string& path, size_t bytes);
  ~SmallTmpfs();
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;
  bool Mounted() const { return mounted_; }
  const std::string& Why() const { return why_; }  // why it is not mounted

 private:
  std::string path_;
  bool mounted_ = false;
  std::string why_;
};

// Whether files in the folder can carry user attributes and POSIX ACLs.
bool SupportsExtendedAttributes(const std::string& folder);

// The stored form of a POSIX access ACL granting one more user read access
// (owner rw, group r, mask r, others none), as setfacl would write it.
std::string AclGrantingRead(uid_t user);

// The value of an extended attribute, or nullopt when it is absent.
std::optional<std::string> Attribute(const std::string& file, const std::string& name);

}  // namespace prambus
