// The box structure of ISO base media files (AVIF, HEIF) and of the JPEG XL
// container: a 32-bit size and a type, a size of 1 followed by a 64-bit
// size, or a size of 0 for a box that runs to the end of its parent.
#pragma once

#include <cstdint>

#include "imageinfo/BlockReader.h"

namespace formats {

constexpr uint32_t FourCC(const char (&s)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) << 24 | static_cast<uint8_t>(s[1]) << 16 |
         static_cast<uint8_t>(s[2]) << 8 | static_cast<uint8_t>(s[3]);
}

struct TBox {
  uint32_t Type = 0;
  uint64_t Payload = 0;  // where the box's content starts
  uint64_t End = 0;      // one past its last byte
};

// Reads the header of the box at `at`, which must lie inside its parent
// [at, parentEnd). A box that does not fit leaves a verdict: truncated when
// the parent is the file itself (topLevel), damaged otherwise.
inline bool ReadBox(TBlockReader& in, uint64_t at, uint64_t parentEnd, bool topLevel, TBox& box) {
  const TProbeFailure tooLong = topLevel ? pfTruncated : pfDamaged;
  if (at > parentEnd || parentEnd - at < 8) {
    in.Fail(tooLong);
    return false;
  }
  uint64_t size = U32BE(in, at);
  box.Type = U32BE(in, at + 4);
  uint64_t header = 8;
  if (size == 1) {
    if (parentEnd - at < 16) {
      in.Fail(tooLong);
      return false;
    }
    size = U64BE(in, at + 8);
    header = 16;
  } else if (size == 0) {
    size = parentEnd - at;
  }
  if (size < header) {
    in.Fail(pfDamaged);
    return false;
  }
  if (size > parentEnd - at) {
    in.Fail(tooLong);
    return false;
  }
  box.Payload = at + header;
  box.End = at + size;
  return !in.Failed();
}

// The first child of type `type` among the boxes in [from, end); false when
// there is none or the children do not hold (the verdict says which).
inline bool FindBox(TBlockReader& in, uint64_t from, uint64_t end, bool topLevel, uint32_t type, TBox& found) {
  for (uint64_t at = from; at < end;) {
    TBox box;
    if (!ReadBox(in, at, end, topLevel, box)) return false;
    if (box.Type == type) {
      found = box;
      return true;
    }
    at = box.End;
  }
  return false;
}

}  // namespace formats
