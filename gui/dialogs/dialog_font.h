// The font of the program's own message boxes and small tool windows: the
// dialog text settings (TextFont, TextSize, TextColor, TextStyle).
#pragma once

#include <QFont>

namespace prambus {

QFont DialogFont();

}  // namespace prambus
