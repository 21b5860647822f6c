#include "dialog_font.h"

#include "qt_canvas.h"
#include "settings/settings.h"

namespace prambus {

QFont DialogFont() {
  const Settings& s = Cfg();
  return ToQFontUi({s.TextFont, s.TextSize, s.TextColor, s.TextStyle});
}

}  // namespace prambus
