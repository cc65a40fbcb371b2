// JPEG XL: the bare codestream (FF 0A) or the container (a JXL signature
// box, then the codestream in jxlc, or split over jxlp boxes). The size
// header gives the size; the image metadata right behind it may hold an
// orientation, which browsers apply.
#include "imageinfo/formats/Formats.h"

#include <cstring>
#include <utility>

#include "imageinfo/formats/IsoBox.h"

namespace formats {

namespace {

constexpr uint8_t kContainer[12] = {0, 0, 0, 0x0C, 'J', 'X', 'L', ' ', 0x0D, 0x0A, 0x87, 0x0A};
// The signature, the size header and the start of the metadata fit in this.
constexpr size_t kHeaderBytes = 32;

// Bits read least significant first, as the codestream stores them.
class TBits {
 public:
  TBits(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint32_t Read(int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i, ++bit_) {
      if (bit_ / 8 >= size_) {
        short_ = true;
        return 0;
      }
      v |= static_cast<uint32_t>(data_[bit_ / 8] >> (bit_ % 8) & 1) << i;
    }
    return v;
  }
  bool Short() const { return short_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t bit_ = 0;
  bool short_ = false;
};

// One side of the size header without the multiple-of-8 form: a 2-bit
// selector picks how many bits follow.
uint32_t Side(TBits& bits) {
  static const int kBits[4] = {9, 13, 18, 30};
  return bits.Read(kBits[bits.Read(2)]) + 1;
}

// The first kHeaderBytes of the codestream (fewer when it is shorter): in
// the container, from jxlc, or gathered from the jxlp boxes in order, each
// after its 4-byte index.
size_t Codestream(TBlockReader& in, uint8_t* out) {
  if (U8(in, 0) == 0xFF) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(in.Size(), kHeaderBytes));
    for (size_t i = 0; i < n; ++i) out[i] = U8(in, i);
    return n;
  }
  size_t n = 0;
  for (uint64_t at = 0; at < in.Size() && n < kHeaderBytes;) {
    TBox box;
    if (!ReadBox(in, at, in.Size(), true, box)) return n;
    uint64_t from = box.Payload;
    if (box.Type == FourCC("jxlp")) from += 4;
    if (box.Type == FourCC("jxlc") || box.Type == FourCC("jxlp")) {
      if (from > box.End) return in.Fail(pfDamaged), n;
      for (uint64_t i = from; i < box.End && n < kHeaderBytes; ++i) out[n++] = U8(in, i);
      if (box.Type == FourCC("jxlc")) return n;
    }
    at = box.End;
  }
  return n;
}

}  // namespace

bool IsJXL(const uint8_t* head, size_t n) {
  return (n >= 2 && head[0] == 0xFF && head[1] == 0x0A) || (n >= 12 && std::memcmp(head, kContainer, 12) == 0);
}

void ReadJXL(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itJXL;
  uint8_t stream[kHeaderBytes];
  const size_t n = Codestream(in, stream);
  if (in.Failed()) return;
  TBits bits(stream, n);
  if (bits.Read(8) != 0xFF || bits.Read(8) != 0x0A) {
    in.Fail(bits.Short() ? pfTruncated : pfDamaged);
    return;
  }
  const bool small = bits.Read(1) != 0;
  const uint64_t height = small ? (bits.Read(5) + 1) * 8ull : Side(bits);
  const uint32_t ratio = bits.Read(3);
  uint64_t width;
  if (ratio == 0) {
    width = small ? (bits.Read(5) + 1) * 8ull : Side(bits);
  } else {
    // The seven fixed aspect ratios, width to height.
    static const uint32_t kNum[8] = {0, 1, 12, 4, 3, 16, 5, 2}, kDen[8] = {0, 1, 10, 3, 2, 9, 4, 1};
    width = height * kNum[ratio] / kDen[ratio];
  }
  // The image metadata: unless all_default, extra_fields says whether the
  // orientation (3 bits, plus 1) comes first.
  int32_t orientation = 1;
  if (bits.Read(1) == 0 && bits.Read(1) != 0) orientation = static_cast<int32_t>(bits.Read(3)) + 1;
  if (bits.Short()) {
    in.Fail(pfTruncated);
    return;
  }
  SetSize(info, in, width, height);
  if (in.Failed()) return;
  info.Orientation = orientation;
  info.Depth = 24;
  if (orientation >= 5) std::swap(info.Width, info.Height);
}

}  // namespace formats
