#include "worker/Orientation.h"

#include <cstring>

void OrientPixels(const uint8_t* in, int32_t width, int32_t height, int32_t orientation, uint8_t* out,
                  int32_t& shownWidth, int32_t& shownHeight) {
  const bool quarter = orientation >= 5 && orientation <= 8;
  shownWidth = quarter ? height : width;
  shownHeight = quarter ? width : height;
  const int64_t w = width, h = height;
  for (int64_t y = 0; y < shownHeight; ++y) {
    for (int64_t x = 0; x < shownWidth; ++x) {
      // The stored pixel that shows at (x, y).
      int64_t sx = x, sy = y;
      switch (orientation) {
        case 2: sx = w - 1 - x; break;
        case 3: sx = w - 1 - x, sy = h - 1 - y; break;
        case 4: sy = h - 1 - y; break;
        case 5: sx = y, sy = x; break;
        case 6: sx = y, sy = h - 1 - x; break;
        case 7: sx = w - 1 - y, sy = h - 1 - x; break;
        case 8: sx = w - 1 - y, sy = x; break;
        default: break;
      }
      std::memcpy(out + 4 * (y * shownWidth + x), in + 4 * (sy * w + sx), 4);
    }
  }
}
