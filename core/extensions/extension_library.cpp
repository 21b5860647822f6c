#include "extensions/extension_library.h"

#include <dlfcn.h>

#include <cstring>

#include "extensions/fault_guard.h"
#include "prambus/extension.h"

namespace prambus {

std::unique_ptr<ExtensionLibrary> ExtensionLibrary::Load(const std::string& absolutePath) {
  if (absolutePath.empty() || absolutePath.front() != '/') return nullptr;
  void* handle = dlopen(absolutePath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  return std::unique_ptr<ExtensionLibrary>(new ExtensionLibrary(handle));
}

ExtensionLibrary::~ExtensionLibrary() {
  if (!abandoned_) dlclose(handle_);
}

void* ExtensionLibrary::Symbol(const char* name) const {
  return dlsym(handle_, name);
}

std::optional<std::string> ExtensionLibrary::String(int id, int maxChars) const {
  const auto get = Function<prambus_string_fn>("prambus_string");
  if (!get) return std::string();
  // A UTF-8 character takes at most four bytes; the copy is bounded even
  // when the library's string has no terminator.
  const size_t limit = static_cast<size_t>(maxChars) * 4;
  std::string bytes;
  const bool ok = RunGuarded([&] {
    const char* s = get(static_cast<int32_t>(id));
    if (s) bytes.assign(s, strnlen(s, limit));
  });
  if (!ok) return std::nullopt;
  return CutUtf8(bytes, maxChars);
}

std::string CutUtf8(std::string_view text, int maxChars) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  size_t i = 0;
  for (int chars = 0; i < text.size() && chars < maxChars - 1; ++chars) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t len = lead < 0x80         ? 1
                 : (lead >> 5) == 6  ? 2
                 : (lead >> 4) == 14 ? 3
                 : (lead >> 3) == 30 ? 4
                                     : 1;
    if (i + len > text.size()) len = 1;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) len = 1;
    i += len;
  }
  return std::string(text.substr(0, i));
}

}  // namespace prambus
