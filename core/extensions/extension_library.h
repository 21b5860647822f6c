// One skin or plug-in library loaded into the program, and the strings it
// gives through its exported prambus_string function.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace prambus {

// Longest strings read, in characters with the terminator counted.
inline constexpr int kSkinMarkerChars = 8;
inline constexpr int kPluginMarkerChars = 10;
inline constexpr int kCaptionChars = 100;
inline constexpr int kHotKeyChars = 30;

class ExtensionLibrary {
 public:
  // Loads the library at an absolute path, resolving all its symbols now so
  // that a missing one fails here rather than in the middle of a call.
  // Nothing when it cannot be loaded. A relative path is refused: the
  // loader would look for it in its own search folders.
  static std::unique_ptr<ExtensionLibrary> Load(const std::string& absolutePath);
  ~ExtensionLibrary();
  ExtensionLibrary(const ExtensionLibrary&) = delete;
  ExtensionLibrary& operator=(const ExtensionLibrary&) = delete;

  // The address of an exported function, or nullptr.
  void* Symbol(const char* name) const;
  template <typename Fn>
  Fn Function(const char* name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }

  // String `id` of the library, read up to its first NUL and cut to
  // maxChars - 1 characters. Empty when the library has no such string or
  // has no prambus_string; nothing when the call faulted.
  std::optional<std::string> String(int id, int maxChars) const;

  // Keeps the library in the process for good (its code may still be
  // referenced after a fault, and unloading runs its destructors).
  void Abandon() { abandoned_ = true; }

 private:
  explicit ExtensionLibrary(void* handle) : handle_(handle) {}
  void* handle_;
  bool abandoned_ = false;
};

// The first maxChars - 1 characters (code points) of UTF-8 text, ending at
// its first NUL. Malformed bytes count as one character each.
std::string CutUtf8(std::string_view text, int maxChars);

}  // namespace prambus
