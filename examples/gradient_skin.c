/*
 * A skin for Прамбус: a soft gradient behind the text, light at the top left
 * and deeper towards the bottom right. "Настройка шкурки..." moves on to the
 * next of three palettes.
 *
 * Written against the public header alone, as any skin would be:
 *   cc -shared -fPIC -fvisibility=hidden gradient_skin.c -o gradient.so
 */
#include <prambus/extension.h>

struct palette {
  uint32_t from, to; /* 0xRRGGBB */
};

static const struct palette palettes[] = {
    {0xF7FAFF, 0xC9DBF2}, /* sky */
    {0xFFFDF4, 0xF0DDB4}, /* sand */
    {0xF6FFF6, 0xC8E6CC}, /* meadow */
};
enum { palette_count = sizeof palettes / sizeof palettes[0] };

static int current;

/* What the buffer holds already: the program keeps it between calls while
   the size stays, so an unchanged picture need not be painted again. */
static struct {
  const uint32_t* pixels;
  int32_t width, height, stride;
  int palette;
} painted;

static uint32_t mix(uint32_t a, uint32_t b, uint32_t t, uint32_t scale) {
  uint32_t out = 0;
  int shift;
  for (shift = 0; shift <= 16; shift += 8) {
    const uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    out |= ((ca * (scale - t) + cb * t) / scale) << shift;
  }
  return out;
}

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  switch (id) {
    case PRAMBUS_STRING_MARKER:
      return PRAMBUS_SKIN_MARKER;
    case PRAMBUS_STRING_CAPTION:
      return "Градиент";
    default:
      return 0;
  }
}

PRAMBUS_EXPORT void crskin(prambus_window window, int32_t width, int32_t height) {
  (void)window;
  (void)width;
  (void)height;
  painted.pixels = 0;
}

PRAMBUS_EXPORT void chskin(void) {}

PRAMBUS_EXPORT void deletskin(prambus_window window) {
  (void)window;
  painted.pixels = 0;
}

PRAMBUS_EXPORT void drskin(uint32_t* pixels, int32_t width, int32_t height, int32_t stride) {
  const struct palette* p = &palettes[current];
  /* The colour follows x + 3y, so the gradient runs mostly downwards. */
  const uint32_t scale = (uint32_t)width + 3u * (uint32_t)height + 1u;
  int32_t x, y;
  if (painted.pixels == pixels && painted.width == width && painted.height == height &&
      painted.stride == stride && painted.palette == current)
    return;
  for (y = 0; y < height; ++y) {
    uint32_t* row = pixels + (int64_t)y * stride;
    for (x = 0; x < width; ++x) row[x] = mix(p->from, p->to, (uint32_t)x + 3u * (uint32_t)y, scale);
  }
  painted.pixels = pixels;
  painted.width = width;
  painted.height = height;
  painted.stride = stride;
  painted.palette = current;
}

PRAMBUS_EXPORT void nastroj(void) {
  current = (current + 1) % palette_count;
}
