// PCX: the window of the 128-byte header. The signature is one byte, so the
// header must be a real one: a text file that starts with an empty line is
// no PCX.
#include "imageinfo/formats/Formats.h"

namespace formats {

namespace {
uint32_t Le16(const uint8_t* p) { return p[0] | p[1] << 8; }
}  // namespace

bool IsPCX(const uint8_t* head, size_t n) {
  if (n < 12 || head[0] != 0x0A) return false;
  const uint8_t version = head[1], encoding = head[2], bits = head[3];
  const bool knownVersion = version == 0 || (version >= 2 && version <= 5);
  const bool knownBits = bits == 1 || bits == 2 || bits == 4 || bits == 8;
  return knownVersion && encoding == 1 && knownBits && Le16(head + 8) >= Le16(head + 4) &&
         Le16(head + 10) >= Le16(head + 6);
}

void ReadPCX(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itPCX;
  const int32_t bitsPerPlane = U8(in, 3);
  const int32_t xMin = U16LE(in, 4), yMin = U16LE(in, 6);
  const int32_t xMax = U16LE(in, 8), yMax = U16LE(in, 10);
  const int32_t planes = U8(in, 65);
  info.Width = xMax - xMin + 1;
  info.Height = yMax - yMin + 1;
  info.Depth = bitsPerPlane * planes;
}

}  // namespace formats
