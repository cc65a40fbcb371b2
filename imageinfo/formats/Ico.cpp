// Icons and cursors: a directory of 16-byte entries; the picture shown is
// the entry with the most pixels (on a tie the higher bit count, then the
// first). A stored side of 0 means 256.
#include "imageinfo/formats/Formats.h"

namespace formats {

namespace {

constexpr uint64_t kDirectory = 6, kEntry = 16;

uint32_t Side(uint8_t stored) { return stored == 0 ? 256 : stored; }

}  // namespace

bool IsICO(TBlockReader& in, const uint8_t* head, size_t n) {
  if (n < 6 || head[0] != 0 || head[1] != 0 || (head[2] != 1 && head[2] != 2) || head[3] != 0) return false;
  const bool icon = head[2] == 1;
  const uint64_t count = head[4] | head[5] << 8;
  const uint64_t size = in.Size(), dataStart = kDirectory + kEntry * count;
  if (count == 0 || dataStart > size) return false;
  // Four bytes are a weak signature: every entry must be plausible. All of
  // the directory lies inside the file, so none of these reads can fail.
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t e = kDirectory + kEntry * i;
    const uint64_t length = U32LE(in, e + 8), offset = U32LE(in, e + 12);
    if (U8(in, e + 3) != 0 || length == 0 || offset < dataStart || offset > size || length > size - offset)
      return false;
    if (icon && U16LE(in, e + 4) > 1) return false;  // colour planes
  }
  return true;
}

void ReadICO(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itICO;
  const bool cursor = U8(in, 2) == 2;
  const uint64_t count = U16LE(in, 4);
  uint64_t bestPixels = 0;
  uint32_t bestBits = 0;
  for (uint64_t i = 0; i < count && !in.Failed(); ++i) {
    const uint64_t e = kDirectory + kEntry * i;
    const uint32_t w = Side(U8(in, e)), h = Side(U8(in, e + 1));
    // A cursor keeps its hot spot where an icon keeps planes and bit count.
    const uint32_t bits = cursor ? 0 : U16LE(in, e + 6);
    const uint64_t pixels = uint64_t{w} * h;
    if (pixels > bestPixels || (pixels == bestPixels && bits > bestBits)) {
      bestPixels = pixels;
      bestBits = bits;
      info.Width = static_cast<int32_t>(w);
      info.Height = static_cast<int32_t>(h);
    }
  }
  info.Depth = bestBits != 0 ? static_cast<int32_t>(bestBits) : 32;
}

}  // namespace formats
