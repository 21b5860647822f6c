// Saving a document without ever losing the file that was there: the new
// contents go to a temporary file in the target's folder, are flushed, and
// then renamed over the target, keeping its permission bits. A symbolic link
// is followed, so the file it points at is replaced and the link stays.
#pragma once

#include <functional>
#include <string>

namespace prambus {

enum class SaveResult {
  kSaved,
  kReadOnly,  // the target is write-protected and saving over it was not allowed
  kFailed,    // anything else: full disk, vanished folder, permission
};

// writeTo writes the whole document to the path it is given and throws on any
// failure. A read-only target is written only when tryReadOnly is set, and it
// stays read-only afterwards.
SaveResult SaveSafely(const std::string& target, bool tryReadOnly,
                      const std::function<void(const std::string&)>& writeTo);

}  // namespace prambus
