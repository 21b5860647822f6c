/* A skin with the marker that lacks chskin: listed, but it paints the plain
   background while chosen. Were it used, it would paint everything red. */
#include <prambus/extension.h>

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  return id == PRAMBUS_STRING_MARKER    ? PRAMBUS_SKIN_MARKER
         : id == PRAMBUS_STRING_CAPTION ? "Без chskin"
                                        : 0;
}

PRAMBUS_EXPORT void crskin(prambus_window window, int32_t width, int32_t height) {
  (void)window;
  (void)width;
  (void)height;
}

PRAMBUS_EXPORT void deletskin(prambus_window window) {
  (void)window;
}

PRAMBUS_EXPORT void drskin(uint32_t* pixels, int32_t width, int32_t height, int32_t stride) {
  int32_t x, y;
  for (y = 0; y < height; ++y)
    for (x = 0; x < width; ++x) pixels[y * stride + x] = 0xFF0000;
}

PRAMBUS_EXPORT void nastroj(void) {}
