#include "settings/stored_bounds.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "settings/settings_schema.h"

namespace prambus {

namespace {

template <typename T>
void Clamp(T& v, T lo, T hi) {
  v = std::clamp(v, lo, hi);
}

// A number outside its field's range falls back to the default or to the
// nearest end, as the schema says; a colour beyond 24 bits to the default.
// So the file can give nothing the fine-settings table could not.
void BoundSettings(Settings& s) {
  const Settings d;
  for (const SettingField* f : StoredFieldsInFileOrder()) {
    if (f->kind == SettingKind::kColor && std::get<Color>(f->get(s)) > 0xFFFFFF)
      f->set(s, f->get(d));
    if (f->kind != SettingKind::kInt && f->kind != SettingKind::kReal) continue;
    const SettingValue v = f->get(s);
    const double x = f->kind == SettingKind::kInt ? std::get<int32_t>(v) : std::get<double>(v);
    if (x >= f->min && x <= f->max) continue;
    if (f->outOfRange == OutOfRange::kDefault || std::isnan(x))
      f->set(s, f->get(d));
    else if (f->kind == SettingKind::kInt)
      f->set(s, static_cast<int32_t>(x < f->min ? f->min : f->max));
    else
      f->set(s, x < f->min ? f->min : f->max);
  }
}

void BoundWindow(WindowAppearance& w) {
  Clamp(w.left, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  Clamp(w.top, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  Clamp(w.width, 0, kMaxWindowCoordinate);
  Clamp(w.height, 0, kMaxWindowCoordinate);
}

}  // namespace

void BoundStoredState(StoredState& st, Settings& s) {
  BoundSettings(s);
  // Window places and sizes: within what the desktop can address (the
  // window is then fitted to a screen when it is restored).
  BoundWindow(st.defaults);
  for (WindowAppearance& w : st.pinned) BoundWindow(w);
  int& fontHeight = st.surfaceFont.height;
  if (fontHeight == 0 || fontHeight < -kMaxFontHeight || fontHeight > kMaxFontHeight)
    fontHeight = Font{}.height;
}

}  // namespace prambus
