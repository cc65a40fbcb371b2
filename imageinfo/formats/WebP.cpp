// WebP: RIFF, its size, "WEBP", then the first chunk: VP8 (lossy), VP8L
// (lossless) or VP8X (the extended format's canvas). An Exif orientation in
// the file is not applied: browsers show a WebP as it is stored.
#include "imageinfo/formats/Formats.h"

#include "imageinfo/formats/IsoBox.h"

namespace formats {

namespace {
constexpr uint64_t kFirstChunk = 12;
}  // namespace

bool IsWebP(const uint8_t* head, size_t n) {
  return n >= 12 && head[0] == 'R' && head[1] == 'I' && head[2] == 'F' && head[3] == 'F' && head[8] == 'W' &&
         head[9] == 'E' && head[10] == 'B' && head[11] == 'P';
}

void ReadWebP(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itWebP;
  const uint64_t riffEnd = 8 + uint64_t{U32LE(in, 4)};
  const uint32_t chunk = U32BE(in, kFirstChunk);
  const uint64_t payload = kFirstChunk + 8;
  const uint64_t chunkEnd = payload + U32LE(in, kFirstChunk + 4);
  if (in.Failed()) return;
  // The chunk must lie inside the RIFF's own extent; what the reader takes
  // from it must lie inside the chunk (and the file, which At checks).
  auto needs = [&](uint64_t bytes) {
    if (chunkEnd > riffEnd || chunkEnd - payload < bytes) in.Fail(pfDamaged);
    return !in.Failed();
  };
  uint64_t width = 0, height = 0;
  info.Depth = 24;
  if (chunk == FourCC("VP8 ")) {
    if (!needs(10)) return;
    // The frame tag (3 bytes), the start code, then 14 bits of each side;
    // the two bits above them are the scale, not part of the size.
    if (U8(in, payload + 3) != 0x9D || U8(in, payload + 4) != 0x01 || U8(in, payload + 5) != 0x2A) {
      in.Fail(pfDamaged);
      return;
    }
    width = U16LE(in, payload + 6) & 0x3FFF;
    height = U16LE(in, payload + 8) & 0x3FFF;
  } else if (chunk == FourCC("VP8L")) {
    if (!needs(5)) return;
    if (U8(in, payload) != 0x2F) {
      in.Fail(pfDamaged);
      return;
    }
    const uint32_t bits = U32LE(in, payload + 1);
    width = (bits & 0x3FFF) + 1;
    height = (bits >> 14 & 0x3FFF) + 1;
    if (bits >> 28 & 1) info.Depth = 32;
  } else if (chunk == FourCC("VP8X")) {
    if (!needs(10)) return;
    if (U8(in, payload) & 0x10) info.Depth = 32;  // the alpha flag
    width = uint64_t{U24LE(in, payload + 4)} + 1;
    height = uint64_t{U24LE(in, payload + 7)} + 1;
  } else {
    in.Fail(pfDamaged);
    return;
  }
  if (!in.Failed()) SetSize(info, in, width, height);
}

}  // namespace formats
