// The chosen skin: its library and the five functions it exports. Each call
// into it is guarded; a skin that faults is dropped and the plain
// background takes its place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "extensions/extension_library.h"
#include "prambus/extension.h"

namespace prambus {

class SkinLibrary {
 public:
  // Nothing when the library cannot be loaded or lacks one of crskin,
  // chskin, deletskin, drskin and nastroj (it is unloaded again).
  static std::unique_ptr<SkinLibrary> Load(const std::string& absolutePath);
  ~SkinLibrary();

  // Each returns false when the skin faulted; it must not be called again.
  bool Create(prambus_window window, int width, int height);
  bool Delete(prambus_window window);
  bool Paint(uint32_t* pixels, int width, int height, int stride);
  bool Configure();

 private:
  SkinLibrary() = default;
  bool Guard(bool completed);
  std::unique_ptr<ExtensionLibrary> library_;
  prambus_crskin_fn create_ = nullptr;
  prambus_deletskin_fn delete_ = nullptr;
  prambus_drskin_fn paint_ = nullptr;
  prambus_nastroj_fn configure_ = nullptr;
};

}  // namespace prambus
