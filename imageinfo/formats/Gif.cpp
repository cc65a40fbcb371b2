// GIF: the logical screen, grown to the first image's frame where that
// frame reaches past it, as browsers show it.
#include "imageinfo/formats/Formats.h"

#include <algorithm>

namespace formats {

namespace {

// Extension sub-blocks looked at before the first image descriptor; the
// blocks in front of it are small in real files, and this bounds the walk.
constexpr int kMaxSubBlocks = 4096;

// The first image descriptor's extent (right, bottom) when it can be
// found; the walk stops quietly at the end of the file, at the trailer or
// at a byte that starts no block.
bool FirstFrameExtent(TBlockReader& in, uint8_t packed, uint32_t& right, uint32_t& bottom) {
  const uint64_t size = in.Size();
  uint64_t at = 13;
  if (packed & 0x80) at += 3ull << ((packed & 7) + 1);  // the global colour table
  int subBlocks = 0;
  while (at < size) {
    const uint8_t introducer = U8(in, at);
    if (introducer == 0x2C) {
      if (size - at < 9) return false;
      right = uint32_t{U16LE(in, at + 1)} + U16LE(in, at + 5);
      bottom = uint32_t{U16LE(in, at + 3)} + U16LE(in, at + 7);
      return true;
    }
    if (introducer != 0x21) return false;
    at += 2;  // the introducer and the label
    for (;;) {
      if (at >= size || ++subBlocks > kMaxSubBlocks) return false;
      const uint8_t length = U8(in, at);
      at += 1u + length;
      if (length == 0) break;
    }
  }
  return false;
}

}  // namespace

bool IsGIF(const uint8_t* head, size_t n) { return n >= 3 && head[0] == 'G' && head[1] == 'I' && head[2] == 'F'; }

void ReadGIF(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itGIF;
  uint32_t width = U16LE(in, 6), height = U16LE(in, 8);
  const uint8_t packed = U8(in, 10);
  info.Depth = (packed & 7) + 1;
  if (in.Failed()) return;
  uint32_t right = 0, bottom = 0;
  if (FirstFrameExtent(in, packed, right, bottom)) {
    width = std::max(width, right);
    height = std::max(height, bottom);
  }
  info.Width = static_cast<int32_t>(width);
  info.Height = static_cast<int32_t>(height);
}

}  // namespace formats
