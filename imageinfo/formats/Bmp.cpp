// BMP: the Windows header with signed 32-bit sides (a negative height is a
// top-down bitmap), or the OS/2 core header with 16-bit ones.
#include "imageinfo/formats/Formats.h"

namespace formats {

namespace {
constexpr uint32_t kCoreHeaderSize = 12;
}  // namespace

bool IsBMP(const uint8_t* head, size_t n) { return n >= 2 && head[0] == 'B' && head[1] == 'M'; }

void ReadBMP(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itBMP;
  if (U32LE(in, 14) == kCoreHeaderSize) {
    info.Width = U16LE(in, 18);
    info.Height = U16LE(in, 20);
    info.Depth = U16LE(in, 24);
    return;
  }
  const int32_t width = static_cast<int32_t>(U32LE(in, 18));
  const int32_t height = static_cast<int32_t>(U32LE(in, 22));
  info.Depth = U8(in, 28);
  if (width <= 0 || height == INT32_MIN) {
    in.Fail(pfDamaged);
    return;
  }
  info.Width = width;
  info.Height = height < 0 ? -height : height;
}

}  // namespace formats
