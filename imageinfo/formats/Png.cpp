// PNG: the signature, then the IHDR chunk with the full 32-bit width and
// height. Apple's optimised PNG puts a CgBI chunk first; IHDR follows it.
#include "imageinfo/formats/Formats.h"

#include "imageinfo/formats/IsoBox.h"

namespace formats {

bool IsPNG(const uint8_t* head, size_t n) { return n >= 3 && head[0] == 0x89 && head[1] == 'P' && head[2] == 'N'; }

void ReadPNG(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itPNG;
  uint64_t header = 8;  // the first chunk: its length, type, then data
  if (U32BE(in, 12) == FourCC("CgBI")) header += 12 + uint64_t{U32BE(in, 8)};
  const int32_t bitDepth = U8(in, header + 16);
  switch (U8(in, header + 17)) {
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
  SetSize(info, in, U32BE(in, header + 8), U32BE(in, header + 12));
}

}  // namespace formats
