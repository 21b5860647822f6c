/* A complete skin whose painting writes through a null pointer. */
#include <prambus/extension.h>

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  return id == PRAMBUS_STRING_MARKER    ? PRAMBUS_SKIN_MARKER
         : id == PRAMBUS_STRING_CAPTION ? "Падающая шкурка"
                                        : 0;
}

PRAMBUS_EXPORT void crskin(prambus_window window, int32_t width, int32_t height) {
  (void)window;
  (void)width;
  (void)height;
}

PRAMBUS_EXPORT void chskin(void) {}

PRAMBUS_EXPORT void deletskin(prambus_window window) {
  (void)window;
}

PRAMBUS_EXPORT void drskin(uint32_t* pixels, int32_t width, int32_t height, int32_t stride) {
  volatile uint32_t* nowhere = 0;
  (void)pixels;
  *nowhere = (uint32_t)(width + height + stride);
}

PRAMBUS_EXPORT void nastroj(void) {}
