// BMP: the Windows header with signed 32-bit sides (a negative height is a
// top-down bitmap), or the OS/2 core header with 16-bit ones. Only a header
// that a browser takes for one counts: a size it knows, one plane and a
// bit count it draws; "BM" at the start of any other file proves nothing.
#include "imageinfo/formats/Formats.h"

namespace formats {

namespace {

constexpr uint32_t kCoreHeaderSize = 12;

// The sizes of the bitmap headers: the core header, Windows 3 (40), 4 (108)
// and 5 (124), and the OS/2 2.x header, which may stop after any multiple
// of four bytes from 16 to 64 (and at 42 or 46).
bool KnownHeaderSize(uint32_t size) {
  if (size == kCoreHeaderSize || size == 40 || size == 108 || size == 124) return true;
  return size >= 16 && size <= 64 && (size % 4 == 0 || size == 42 || size == 46);
}

// Bit counts of drawable pixels; 0 only where the pixels are a JPEG or PNG
// stream (compression 4 or 5), which the core header cannot say.
bool KnownBitCount(uint32_t bits, bool core, uint32_t compression) {
  switch (bits) {
    case 1: case 2: case 4: case 8: case 24: return true;
    case 16: case 32: return !core;
    case 0: return !core && (compression == 4 || compression == 5);
    default: return false;
  }
}

}  // namespace

bool IsBMP(const uint8_t* head, size_t n) { return n >= 2 && head[0] == 'B' && head[1] == 'M'; }

void ReadBMP(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itBMP;
  const uint32_t headerSize = U32LE(in, 14);
  const bool core = headerSize == kCoreHeaderSize;
  const uint32_t planes = U16LE(in, core ? 22 : 26);
  const uint32_t bits = U16LE(in, core ? 24 : 28);
  const uint32_t compression = core || bits != 0 || headerSize < 20 ? 0 : U32LE(in, 30);
  if (in.Failed()) return;
  if (!KnownHeaderSize(headerSize) || planes != 1 || !KnownBitCount(bits, core, compression)) {
    in.Fail(pfUnrecognised);
    return;
  }
  if (core) {
    info.Width = U16LE(in, 18);
    info.Height = U16LE(in, 20);
    info.Depth = static_cast<int32_t>(bits);
    return;
  }
  const int32_t width = static_cast<int32_t>(U32LE(in, 18));
  const int32_t height = static_cast<int32_t>(U32LE(in, 22));
  info.Depth = static_cast<int32_t>(bits);
  if (width <= 0 || height == INT32_MIN) {
    in.Fail(pfDamaged);
    return;
  }
  info.Width = width;
  info.Height = height < 0 ? -height : height;
}

}  // namespace formats
