#include "settings/stored_bounds.h"

#include <algorithm>
#include <variant>

#include "settings/hex_columns.h"
#include "shell/fine_settings.h"

namespace prambus {

namespace {

template <typename T>
void Clamp(T& v, T lo, T hi) {
  v = std::clamp(v, lo, hi);
}

// The keyed settings: a value the fine-settings table would refuse falls
// back to its default, so the file can give nothing the table could not.
void BoundKeyedSettings(Settings& s) {
  const Settings d;
  for (const SettingRow& r : FineSettingRows()) {
    if (r.kind == SettingKind::kColor && std::get<Color>(r.get(s)) > 0xFFFFFF) r.set(s, r.get(d));
    if (r.kind != SettingKind::kInt && r.kind != SettingKind::kReal) continue;
    const SettingValue v = r.get(s);
    const double x = r.kind == SettingKind::kInt ? std::get<int32_t>(v) : std::get<double>(v);
    if (!(x >= r.min && x <= r.max)) r.set(s, r.get(d));
  }
  // The block size in effect (the table edits the copy to be saved).
  if (!(s.Shag >= 1 && s.Shag <= 2147483646)) s.Shag = d.Shag;
  if (!(s.HexColumns >= kMinHexColumns && s.HexColumns <= kMaxHexColumns))
    s.HexColumns = d.HexColumns;
}

void BoundWindow(WindowAppearance& w) {
  Clamp(w.left, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  Clamp(w.top, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  Clamp(w.width, 0, kMaxWindowCoordinate);
  Clamp(w.height, 0, kMaxWindowCoordinate);
}

}  // namespace

void BoundStoredState(StoredState& st, Settings& s) {
  BoundKeyedSettings(s);
  // Window places and sizes: within what the desktop can address (the
  // window is then fitted to a screen when it is restored).
  BoundWindow(st.defaults);
  for (WindowAppearance& w : st.pinned) BoundWindow(w);
  Clamp(s.MinRestoredWidth, 0, kMaxWindowCoordinate);
  Clamp(s.MinRestoredHeight, 0, kMaxWindowCoordinate);
  Clamp(s.DataWindowLeft, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  Clamp(s.DataWindowTop, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  int& fontHeight = st.surfaceFont.height;
  if (fontHeight == 0 || fontHeight < -kMaxFontHeight || fontHeight > kMaxFontHeight)
    fontHeight = Font{}.height;
}

}  // namespace prambus
