// PNG: the signature, then the IHDR chunk with the full 32-bit width and height.
#include "imageinfo/formats/Formats.h"

namespace formats {

bool IsPNG(const uint8_t* head, size_t n) { return n >= 3 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N'; }

void ReadPNG(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itPNG;
  const int32_t bitDepth = U8(in, 24);
  switch (U8(in, 25)) {
    case 0: info.Depth = bitDepth; break;
    case 2: info.Depth = 3 * bitDepth; break;
    case 3: info.Depth = 8; break;  // a palette index, whatever its bit depth
    case 4: info.Depth = 2 * bitDepth; break;
    case 6: info.Depth = 4 * bitDepth; break;
    default:
      // No such colour type: the file goes on to the JPEG scan.
      info.ImageType = itNone;
      in.Fail(pfDamaged);
      return;
  }
  // A file that carries a CgBI chunk before IHDR is read at the same
  // offsets, on purpose: its header is not a standard one.
  SetSize(info, in, U32BE(in, 16), U32BE(in, 20));
}

}  // namespace formats
