#include "imageinfo/ExifThumbnail.h"

#include <cstring>
#include <memory>

#include "platform/LargeMemory.h"

namespace {

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

// The frame size of the JPEG in data, as stored (not turned): the probe's
// walk to its first frame header.
bool JpegFrameSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  TDCImageInfo frame;
  frame.ReadInfoFrom(std::make_unique<TMemorySource>(data, size));
  if (frame.ImageType != itJPEG) return false;
  const bool quarter = frame.Orientation >= 5 && frame.Orientation <= 8;
  width = quarter ? frame.Height : frame.Width;
  height = quarter ? frame.Width : frame.Height;
  return width > 0 && height > 0;
}

}  // namespace

bool FindExifThumbnail(const TDCImageInfo& probe, TExifThumbnail& thumbnail) {
  thumbnail = TExifThumbnail();
  const uint64_t app1 = probe.ExifAt;
  if (!probe.Stream || app1 == 0 || probe.ExifLength < 8) return false;
  // The whole segment in one read: at most 64 KB.
  TLargeBuffer segment;
  const size_t size = 2 + size_t{probe.ExifLength};
  if (!segment.Allocate(size) || probe.Stream->ReadAt(app1, segment.Data(), size) != size) return false;
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
