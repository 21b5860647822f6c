#include "platform/canvas.h"

#include "text/cp1251.h"

namespace prambus {

void Canvas::TextOutUtf8(int x, int y, std::string_view utf8) {
  TextOut(x, y, Utf8ToCp1251(utf8));
}

}  // namespace prambus
