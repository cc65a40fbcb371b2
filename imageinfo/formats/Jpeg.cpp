// JPEG: the start marker anywhere in the first 20000 bytes, then the walk
// along the segments to the first frame header, with the Exif orientation
// on the way. The catch-all, tried when no other format took the file.
#include "imageinfo/formats/Formats.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace formats {

namespace {

// Reads of the Exif block of an APP1 segment, each of which must lie in
// [low, high): inside the segment's data and inside the file. A read outside
// is no error of the probe; it only means that there is no orientation.
class TExifBlock {
 public:
  TExifBlock(TBlockReader& in, uint64_t low, uint64_t high) : in_(in), low_(low), high_(high) {}

  bool Read(uint64_t offset, size_t n, uint8_t* out) {
    if (offset < low_ || offset > high_ || n > high_ - offset) return false;
    std::memcpy(out, in_.At(offset, n), n);
    return true;
  }

 private:
  TBlockReader& in_;
  uint64_t low_, high_;
};

// The orientation in the Exif block of the APP1 segment at q (length field
// segmentLength): the first entry of the first directory with tag 0x0112,
// when it is a single SHORT. 0 when there is none.
int32_t ExifOrientation(TBlockReader& in, uint64_t q, uint32_t segmentLength) {
  TExifBlock exif(in, q + 4, std::min<uint64_t>(q + 2 + segmentLength, in.Size()));
  const uint64_t t = q + 10;  // the TIFF header, behind "Exif" 0 0
  uint8_t b[8];
  if (!exif.Read(t, 8, b)) return 0;
  bool bigEndian;
  if (b[0] == 'I' && b[1] == 'I')
    bigEndian = false;
  else if (b[0] == 'M' && b[1] == 'M')
    bigEndian = true;
  else
    return 0;
  auto u16 = [&](const uint8_t* p) { return static_cast<uint32_t>(bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0]); };
  auto u32 = [&](const uint8_t* p) { return bigEndian ? u16(p) << 16 | u16(p + 2) : u16(p + 2) << 16 | u16(p); };
  if (u16(b + 2) != 42) return 0;
  const uint64_t directory = t + u32(b + 4);
  if (!exif.Read(directory, 2, b)) return 0;
  const uint32_t entries = u16(b);
  for (uint32_t k = 0; k < entries; ++k) {
    const uint64_t e = directory + 2 + 12ull * k;
    if (!exif.Read(e, 2, b)) return 0;
    if (u16(b) != 0x0112) continue;
    uint8_t entry[10];
    if (!exif.Read(e + 2, 8, entry)) return 0;
    const bool singleShort = u16(entry) == 3 && u32(entry + 2) == 1;
    return singleShort ? static_cast<int32_t>(u16(entry + 6)) : 0;
  }
  return 0;
}

bool IsExifSignature(TBlockReader& in, uint64_t q, uint32_t segmentLength) {
  static const uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
  uint8_t b[6];
  TExifBlock data(in, q + 4, std::min<uint64_t>(q + 2 + segmentLength, in.Size()));
  return data.Read(q + 4, 6, b) && std::memcmp(b, kExif, 6) == 0;
}

// Index of the first 0xFF in data[from, limit), or -1.
int64_t FindFF(const uint8_t* data, int64_t from, int64_t limit) {
  if (from >= limit) return -1;
  const void* hit = std::memchr(data + from, 0xFF, static_cast<size_t>(limit - from));
  return hit ? static_cast<const uint8_t*>(hit) - data : -1;
}

// The search for the start marker FF D8 FF at p < min(L, 20000), where L is
// the file's length minus 4. Its position, or -1.
int64_t FindStartMarker(TBlockReader& in, int64_t fileEnd) {
  const int64_t limit = std::min<int64_t>(fileEnd, kJpegWindow);
  int64_t p = 0;
  while (p < limit) {
    // The rest of the range at once; positions below L always have their
    // three bytes in the file.
    const uint8_t* b = nullptr;
    const size_t have = in.View(static_cast<uint64_t>(p), 3, static_cast<size_t>(limit - p + 2), b);
    if (have < 3) return -1;
    const int64_t end = std::min<int64_t>(limit - p, static_cast<int64_t>(have) - 2);
    for (int64_t i = FindFF(b, 0, end); i >= 0; i = FindFF(b, i + 1, end))
      if (b[i + 1] == 0xD8 && b[i + 2] == 0xFF) return p + i;
    p += end;
  }
  return -1;
}

// The search for the next marker from q: the first position below L whose
// two bytes are FF and not FF. Every position examined, the marker's own
// included, spends one of `budget`. The marker's position, or -1.
int64_t FindMarker(TBlockReader& in, int64_t q, int64_t fileEnd, int32_t& budget) {
  constexpr size_t kSearchBlock = 4096;
  while (q < fileEnd && budget > 0) {
    const int64_t positions = std::min<int64_t>(fileEnd - q, budget);
    const uint8_t* b = nullptr;
    const size_t have =
        in.View(static_cast<uint64_t>(q), 2, std::min<size_t>(static_cast<size_t>(positions) + 1, kSearchBlock), b);
    if (have < 2) return -1;
    const int64_t end = std::min<int64_t>(positions, static_cast<int64_t>(have) - 1);
    int64_t from = 0;
    for (int64_t i = FindFF(b, from, end); i >= 0; i = FindFF(b, from, end)) {
      if (b[i + 1] != 0xFF) {
        budget -= static_cast<int32_t>(i + 1);
        return q + i;
      }
      from = i + 1;
    }
    budget -= static_cast<int32_t>(end);
    q += end;
  }
  return -1;
}

}  // namespace

void ScanJPEG(TDCImageInfo& info, TBlockReader& in) {
  const int64_t fileEnd = static_cast<int64_t>(info.FileSize) - 4;
  const int64_t p = FindStartMarker(in, fileEnd);
  if (p < 0) return;

  int32_t budget = kMarkerSearchBudget;
  bool exifSeen = false, otherFrame = false;
  int64_t q = p + 1;
  for (;;) {
    q = FindMarker(in, q, fileEnd, budget);
    if (q < 0) {
      // The walk left the file, or searched as far as it may.
      in.Fail(otherFrame ? pfUnsupported : budget > 0 ? pfTruncated : pfDamaged);
      return;
    }
    const uint64_t at = static_cast<uint64_t>(q);
    const uint8_t marker = U8(in, at + 1);
    if (marker >= 0xC0 && marker <= 0xC3) break;
    // Frames of the later types (arithmetic coding, lossless, hierarchical)
    // carry no size that the probe reads.
    if ((marker >= 0xC5 && marker <= 0xC7) || (marker >= 0xC9 && marker <= 0xCB) || (marker >= 0xCD && marker <= 0xCF))
      otherFrame = true;
    const uint32_t length = U16BE(in, at + 2);
    if (in.Failed()) return;
    // The first APP1 that begins with the Exif signature is the Exif block;
    // XMP and later blocks are not looked at.
    if (marker == 0xE1 && !exifSeen && IsExifSignature(in, at, length)) {
      exifSeen = true;
      info.Orientation = ExifOrientation(in, at, length);
      info.ExifAt = at;
      info.ExifLength = length;
    }
    // Resume behind the whole segment, at the following marker. Restarting
    // two bytes short of it would take a segment that ends in FF xx (an EXIF
    // block ending with its thumbnail's FF D9) for a marker. The marker's two
    // bytes are always passed, so no length can hold the walk in place.
    q += 2 + length;
  }

  const uint64_t frame = static_cast<uint64_t>(q);
  info.ImageType = itJPEG;
  info.Height = U16BE(in, frame + 5);
  info.Width = U16BE(in, frame + 7);
  info.Depth = U8(in, frame + 9) * 8;
  // Browsers show the picture turned as the orientation says; the size is
  // the one shown.
  if (info.Orientation >= 5 && info.Orientation <= 8) std::swap(info.Width, info.Height);
}

}  // namespace formats
