#include "imageinfo/ExifThumbnail.h"

#include <cstring>

#include "platform/LargeMemory.h"

namespace {

// Segments looked at before the Exif block: a JFIF header, a few others.
constexpr int kMaxSegments = 32;
constexpr uint32_t kJpegSoiLength = 2;

uint32_t Be16(const uint8_t* p) { return static_cast<uint32_t>(p[0] << 8 | p[1]); }

// Reads of the TIFF structure inside the Exif block: every value must lie
// inside it.
class TTiff {
 public:
  TTiff(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Header() {
    if (size_ < 8) return false;
    if (data_[0] == 'I' && data_[1] == 'I') big_ = false;
    else if (data_[0] == 'M' && data_[1] == 'M') big_ = true;
    else return false;
    return U16(2) == 42;
  }
  bool Holds(uint64_t at, uint64_t n) const { return at <= size_ && n <= size_ - at; }
  uint32_t U16(uint64_t at) const {
    const uint8_t* p = data_ + at;
    return big_ ? static_cast<uint32_t>(p[0] << 8 | p[1]) : static_cast<uint32_t>(p[1] << 8 | p[0]);
  }
  uint32_t U32(uint64_t at) const { return big_ ? U16(at) << 16 | U16(at + 2) : U16(at + 2) << 16 | U16(at); }

 private:
  const uint8_t* data_;
  size_t size_;
  bool big_ = false;
};

// The frame size of the JPEG in data: its markers walked from SOI to the
// first frame header.
bool JpegFrameSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  size_t q = 2;
  for (int segment = 0; segment < 64 && q + 4 <= size; ++segment) {
    if (data[q] != 0xFF) return false;
    while (q + 4 <= size && data[q + 1] == 0xFF) ++q;  // fill bytes
    if (q + 4 > size) return false;
    const uint8_t marker = data[q + 1];
    const uint32_t length = Be16(data + q + 2);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (q + 9 > size) return false;
      height = static_cast<int32_t>(Be16(data + q + 5));
      width = static_cast<int32_t>(Be16(data + q + 7));
      return width > 0 && height > 0;
    }
    if (marker == 0xDA || marker == 0xD9 || length < 2) return false;
    q += 2 + length;
  }
  return false;
}

// The Exif APP1 segment: where it starts and its length field.
bool FindExifSegment(TByteSource& source, uint64_t& at, uint32_t& length) {
  uint8_t b[10];
  if (source.ReadAt(0, b, 2) != 2 || b[0] != 0xFF || b[1] != 0xD8) return false;
  uint64_t q = kJpegSoiLength;
  for (int segment = 0; segment < kMaxSegments; ++segment) {
    if (source.ReadAt(q, b, 10) < 4 || b[0] != 0xFF) return false;
    const uint8_t marker = b[1];
    length = Be16(b + 2);
    // A frame, the scan or the end: no Exif block before the picture.
    if ((marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) || marker == 0xDA ||
        marker == 0xD9 || length < 2)
      return false;
    if (marker == 0xE1 && length >= 8 && std::memcmp(b + 4, "Exif\0\0", 6) == 0) {
      at = q;
      return true;
    }
    q += 2 + uint64_t{length};
  }
  return false;
}

}  // namespace

bool FindExifThumbnail(TByteSource& source, TExifThumbnail& thumbnail) {
  thumbnail = TExifThumbnail();
  uint64_t app1 = 0;
  uint32_t length = 0;
  if (!FindExifSegment(source, app1, length)) return false;
  // The whole segment in one read: at most 64 KB.
  TLargeBuffer segment;
  const size_t size = 2 + size_t{length};
  if (!segment.Allocate(size) || source.ReadAt(app1, segment.Data(), size) != size) return false;
  const uint8_t* data = reinterpret_cast<const uint8_t*>(segment.Data());
  constexpr size_t kTiffAt = 10;  // FF E1, the length, "Exif" 0 0
  TTiff tiff(data + kTiffAt, size - kTiffAt);
  if (!tiff.Header()) return false;
  // IFD0, then the next directory: IFD1, the thumbnail's.
  const uint64_t ifd0 = tiff.U32(4);
  if (!tiff.Holds(ifd0, 2)) return false;
  const uint64_t entries0 = tiff.U16(ifd0);
  if (!tiff.Holds(ifd0 + 2, entries0 * 12 + 4)) return false;
  const uint64_t ifd1 = tiff.U32(ifd0 + 2 + entries0 * 12);
  if (ifd1 == 0 || !tiff.Holds(ifd1, 2)) return false;
  const uint64_t entries1 = tiff.U16(ifd1);
  if (!tiff.Holds(ifd1 + 2, entries1 * 12)) return false;
  uint64_t offset = 0, bytes = 0;
  uint32_t compression = 6;  // JPEG, unless the directory says otherwise
  for (uint64_t k = 0; k < entries1; ++k) {
    const uint64_t e = ifd1 + 2 + 12 * k;
    const uint32_t tag = tiff.U16(e), type = tiff.U16(e + 2);
    const uint32_t value = type == 3 ? tiff.U16(e + 8) : tiff.U32(e + 8);
    if (tag == 0x0103) compression = value;
    if (tag == 0x0201) offset = value;
    if (tag == 0x0202) bytes = value;
  }
  if (compression != 6 || offset == 0 || bytes < 4 || !tiff.Holds(offset, bytes)) return false;
  const uint8_t* jpeg = data + kTiffAt + offset;
  if (!JpegFrameSize(jpeg, static_cast<size_t>(bytes), thumbnail.Width, thumbnail.Height)) return false;
  thumbnail.Offset = app1 + kTiffAt + offset;
  thumbnail.Length = static_cast<uint32_t>(bytes);
  return true;
}

bool ReadExifThumbnail(TByteSource& source, const TExifThumbnail& thumbnail, std::string& bytes) {
  bytes.assign(thumbnail.Length, '\0');
  if (thumbnail.Length < 4 || source.ReadAt(thumbnail.Offset, &bytes[0], bytes.size()) != bytes.size() ||
      bytes.compare(0, 2, "\xFF\xD8") != 0) {
    bytes.clear();
    return false;
  }
  return true;
}

std::string TurnedThumbnail(std::string_view jpeg, int32_t orientation) {
  if (orientation < 2 || orientation > 8 || jpeg.size() < 2) return std::string(jpeg);
  // SOI, then APP1: "Exif", a big-endian TIFF header and one directory of
  // one entry (0x0112, SHORT, 1 value), then the thumbnail's own segments.
  static const char kOrientationBlock[] =
      "\xFF\xE1\x00\x22"
      "Exif\0\0"
      "MM\x00\x2A\x00\x00\x00\x08"
      "\x00\x01"
      "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x00\x00\x00"
      "\x00\x00\x00\x00";
  std::string block(kOrientationBlock, sizeof kOrientationBlock - 1);
  block[4 + 6 + 8 + 2 + 9] = static_cast<char>(orientation);
  std::string bytes;
  bytes.reserve(jpeg.size() + block.size());
  bytes.append(jpeg.substr(0, 2));
  bytes += block;
  bytes.append(jpeg.substr(2));
  return bytes;
}
