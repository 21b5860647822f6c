#include "extensions/skin_library.h"

#include "extensions/fault_guard.h"

namespace prambus {

std::unique_ptr<SkinLibrary> SkinLibrary::Load(const std::string& absolutePath) {
  std::unique_ptr<ExtensionLibrary> lib = ExtensionLibrary::Load(absolutePath);
  if (!lib) return nullptr;
  std::unique_ptr<SkinLibrary> skin(new SkinLibrary);
  skin->create_ = lib->Function<prambus_crskin_fn>("crskin");
  skin->delete_ = lib->Function<prambus_deletskin_fn>("deletskin");
  skin->paint_ = lib->Function<prambus_drskin_fn>("drskin");
  skin->configure_ = lib->Function<prambus_nastroj_fn>("nastroj");
  const bool complete =
      skin->create_ && skin->delete_ && skin->paint_ && skin->configure_ && lib->Symbol("chskin");
  if (!complete) return nullptr;
  skin->library_ = std::move(lib);
  return skin;
}

SkinLibrary::~SkinLibrary() = default;

bool SkinLibrary::Guard(bool completed) {
  if (!completed) library_->Abandon();
  return completed;
}

bool SkinLibrary::Create(prambus_window window, int width, int height) {
  return Guard(RunGuarded([&] { create_(window, width, height); }));
}

bool SkinLibrary::Delete(prambus_window window) {
  return Guard(RunGuarded([&] { delete_(window); }));
}

bool SkinLibrary::Paint(uint32_t* pixels, int width, int height, int stride) {
  return Guard(RunGuarded([&] { paint_(pixels, width, height, stride); }));
}

bool SkinLibrary::Configure() {
  return Guard(RunGuarded([&] { configure_(); }));
}

}  // namespace prambus
