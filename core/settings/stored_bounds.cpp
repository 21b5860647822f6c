#include "settings/stored_bounds.h"

#include <algorithm>
#include <cmath>

namespace prambus {

namespace {

template <typename T>
void Clamp(T& v, T lo, T hi) {
  v = std::clamp(v, lo, hi);
}

// A real that is not a number takes its default; others are clamped.
void ClampReal(double& v, double lo, double hi, double fallback) {
  v = std::isnan(v) ? fallback : std::clamp(v, lo, hi);
}

void BoundWindow(WindowAppearance& w) {
  Clamp(w.left, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  Clamp(w.top, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  Clamp(w.width, 0, kMaxWindowCoordinate);
  Clamp(w.height, 0, kMaxWindowCoordinate);
}

}  // namespace

void BoundStoredState(StoredState& st, Settings& s) {
  const Settings d;
  BoundWindow(st.defaults);
  for (WindowAppearance& w : st.pinned) BoundWindow(w);
  Clamp(s.MinRestoredWidth, 0, kMaxWindowCoordinate);
  Clamp(s.MinRestoredHeight, 0, kMaxWindowCoordinate);
  Clamp(s.DataWindowLeft, -kMaxWindowCoordinate, kMaxWindowCoordinate);
  Clamp(s.DataWindowTop, -kMaxWindowCoordinate, kMaxWindowCoordinate);

  int& fontHeight = st.surfaceFont.height;
  if (fontHeight == 0 || fontHeight < -kMaxFontHeight || fontHeight > kMaxFontHeight)
    fontHeight = Font{}.height;

  // Margins: a little outside the window at most, never more than a screen.
  Clamp(s.OtstupX, -100, kMaxWindowCoordinate);
  Clamp(s.OtstupY, -100, kMaxWindowCoordinate);
  // Spacings that multiply the line height and the code width: a line of a
  // large font ten times spaced, a code cell a hundred digits wide, at most.
  ClampReal(s.Distance, -0.5, 10.0, d.Distance);
  ClampReal(s.HDistance, -100.0, 100.0, d.HDistance);
  ClampReal(s.LineWidth, -100.0, 100.0, d.LineWidth);
  ClampReal(s.MarginWidth, -100.0, 100.0, d.MarginWidth);
  // Rows are cut at this width; a row's pixel width then stays in an int.
  Clamp(s.MaxTextWidth, 0, 1000000000);
  // Steps beyond any document's rows and columns: adding one to a cursor
  // position stays in an int.
  Clamp(s.HScrollStep, 1, 1000000);
  Clamp(s.VScrollStep, 1, 1000000);
}

}  // namespace prambus
