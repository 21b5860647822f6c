// Filling the area of one colour around a point in a pixel image, the way
// the About window blends a picture's black background into the window.
#pragma once

#include <cstdint>
#include <vector>

namespace prambus {

// pixels: width x height values, row after row (stride pixels per row).
// Every pixel of the seed's colour that is joined to the seed through
// pixels of that colour, side by side (not corner to corner), becomes
// `colour`. Nothing happens when the seed lies outside the image.
void FloodFill(uint32_t* pixels, int width, int height, int stride, int seedX, int seedY,
               uint32_t colour);

}  // namespace prambus
