// TIFF in both byte orders, and BigTIFF: the first directory's width (256),
// height (257), bits per sample (258) and orientation (274).
#include "imageinfo/formats/Formats.h"

#include <utility>

namespace formats {

namespace {

// Bits per sample of more values than this are not summed one by one.
constexpr uint64_t kMaxSummedSamples = 1024;
// A BigTIFF directory of more entries than this is no real one.
constexpr uint64_t kMaxBigEntries = 1u << 20;
// Entries are sorted by tag, and the ones read come early; no real
// directory holds this many before them, so the walk stops there.
constexpr uint64_t kMaxWalkedEntries = 4096;
constexpr uint64_t kLastTagRead = 274;

class TTiffReader {
 public:
  TTiffReader(TBlockReader& in, bool bigEndian, bool big) : in_(in), bigEndian_(bigEndian), big_(big) {}

  uint64_t U16(uint64_t off) { return bigEndian_ ? U16BE(in_, off) : U16LE(in_, off); }
  uint64_t U32(uint64_t off) { return bigEndian_ ? U32BE(in_, off) : U32LE(in_, off); }
  uint64_t U64(uint64_t off) { return bigEndian_ ? U64BE(in_, off) : U64LE(in_, off); }
  // An offset or a count: 4 bytes in a classic file, 8 in a BigTIFF.
  uint64_t Word(uint64_t off) { return big_ ? U64(off) : U32(off); }
  uint64_t WordSize() const { return big_ ? 8 : 4; }
  uint64_t EntrySize() const { return big_ ? 20 : 12; }

  // The value of type `type` at off: BYTE, SHORT, LONG and (BigTIFF) LONG8;
  // other types give 0.
  uint64_t Value(uint16_t type, uint64_t off) {
    switch (type) {
      case 1: return U8(in_, off);
      case 3: return U16(off);
      case 4: return U32(off);
      case 16: return big_ ? U64(off) : 0;
      default: return 0;
    }
  }

  // Bits per sample of the entry at e with `count` values: their sum, read
  // from the value field or from where it points; count x 8 when they lie
  // outside the file or are too many to sum.
  uint64_t SampleBits(uint16_t type, uint64_t count, uint64_t e) {
    const uint64_t field = e + 4 + WordSize();
    if (count <= 1) return Value(type, field);
    uint64_t width = type == 1 ? 1 : type == 3 ? 2 : type == 4 ? 4 : type == 16 && big_ ? 8 : 0;
    if (width == 0 || count > kMaxSummedSamples) return count * 8;
    const uint64_t at = count * width <= WordSize() ? field : Word(field);
    if (at > in_.Size() || count * width > in_.Size() - at) return count * 8;
    uint64_t sum = 0;
    for (uint64_t i = 0; i < count; ++i) sum += Value(type, at + i * width);
    return sum;
  }

 private:
  TBlockReader& in_;
  bool bigEndian_, big_;
};

}  // namespace

bool IsTIFF(const uint8_t* head, size_t n) {
  if (n < 3) return false;
  if (head[0] == 'I' && head[1] == 'I') return head[2] == 0x2A || (head[2] == 0x2B && n >= 4 && head[3] == 0);
  return head[0] == 'M' && head[1] == 'M' && head[2] == 0x00;
}

void ReadTIFF(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itTIFF;
  const bool bigEndian = U8(in, 0) == 'M';
  const bool big = (bigEndian ? U16BE(in, 2) : U16LE(in, 2)) == 43;
  TTiffReader t(in, bigEndian, big);
  uint64_t directory, entries;
  if (big) {
    if (t.U16(4) != 8 || t.U16(6) != 0) {
      in.Fail(pfDamaged);
      return;
    }
    directory = t.U64(8);
    entries = t.U64(directory);
    if (entries > kMaxBigEntries) {
      in.Fail(pfDamaged);
      return;
    }
  } else {
    directory = t.U32(4);
    entries = t.U16(directory);
  }
  const uint64_t first = directory + (big ? 8 : 2);
  const uint64_t walked = entries < kMaxWalkedEntries ? entries : kMaxWalkedEntries;
  in.Prefetch(first, t.EntrySize() * walked);

  uint64_t width = 0, height = 0, depth = 1;  // one bit per sample when the tag is missing
  uint64_t samples = 0;                       // the entry of tag 258, if any
  for (uint64_t k = 0; k < walked && !in.Failed(); ++k) {
    const uint64_t e = first + t.EntrySize() * k;
    const uint64_t tag = t.U16(e);
    if (tag > kLastTagRead) break;
    if (tag != 256 && tag != 257 && tag != 258 && tag != 274) continue;
    const uint16_t type = static_cast<uint16_t>(t.U16(e + 2));
    const uint64_t field = e + 4 + t.WordSize();
    // A later entry of the same tag wins.
    if (tag == 256) width = t.Value(type, field);
    if (tag == 257) height = t.Value(type, field);
    if (tag == 258) samples = e;
    if (tag == 274) info.Orientation = type == 3 ? static_cast<int32_t>(t.U16(field)) : 0;
  }
  // Summed once, for the entry that counts: the values may lie elsewhere.
  if (samples && !in.Failed()) depth = t.SampleBits(static_cast<uint16_t>(t.U16(samples + 2)), t.Word(samples + 4), samples);
  if (in.Failed()) return;
  if (width == 0 || height == 0 || depth == 0 || depth > 0x7FFFFFFFu) {
    in.Fail(pfDamaged);
    return;
  }
  SetSize(info, in, width, height);
  info.Depth = static_cast<int32_t>(depth);
  if (info.Orientation >= 5 && info.Orientation <= 8) std::swap(info.Width, info.Height);
}

}  // namespace formats
