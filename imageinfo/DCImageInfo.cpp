#include "imageinfo/DCImageInfo.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Serves the readers' positioned reads from one window of the file: the
// first kFirstRead bytes to begin with, then whatever part a reader asks for
// next. A read fails exactly when a per-byte positioned read of the file
// would, at its end; the failure is kept until ClearError, and a failed read
// yields zero bytes, so a reader runs to its end harmlessly and is judged
// there.
class TBlockReader {
 public:
  explicit TBlockReader(TByteSource& source) : source_(source), size_(source.Size()) { Load(0, kFirstRead); }

  uint64_t Size() const { return size_; }

  // n (at most 8) bytes at offset; zeros and the error when fewer are left.
  const uint8_t* At(uint64_t offset, size_t n) {
    if (offset > size_ || n > size_ - offset) return Fail();
    if (!Holds(offset, n)) {
      Load(offset, std::max<uint64_t>(n, kReadBlock));
      if (!Holds(offset, n)) return Fail();
    }
    return window_ + (offset - start_);
  }

  // The bytes in memory from offset on, at least `minimum` of them: when the
  // window holds fewer, `wanted` bytes are read there (cut at the end of the
  // file). Returns how many there are, fewer than minimum only at the end.
  size_t View(uint64_t offset, size_t minimum, size_t wanted, const uint8_t*& data) {
    if (!Holds(offset, minimum)) Load(offset, std::max(minimum, wanted));
    if (offset < start_ || offset > start_ + length_) return 0;
    data = window_ + (offset - start_);
    return static_cast<size_t>(start_ + length_ - offset);
  }

  // Reads [offset, offset + n) in one go (cut at the end of the file) unless
  // the window holds it already, so that a walk over it reads nothing more.
  void Prefetch(uint64_t offset, uint64_t n) {
    if (offset >= size_) return;
    n = std::min(n, size_ - offset);
    if (!Holds(offset, n)) Load(offset, n);
  }

  const uint8_t* Fail() {
    failed_ = true;
    return kZeros;
  }
  bool Failed() const { return failed_; }
  void ClearError() { failed_ = false; }

 private:
  static constexpr size_t kReadBlock = 4096;
  // Loads up to this size stay on the stack: the start-marker search reads
  // its whole range at once, and it fits.
  static constexpr size_t kStackBlock = kJpegWindow + 16;
  static constexpr uint8_t kZeros[8] = {};

  bool Holds(uint64_t offset, uint64_t n) const {
    return offset >= start_ && offset - start_ <= length_ && n <= length_ - (offset - start_);
  }

  void Load(uint64_t offset, uint64_t n) {
    n = offset < size_ ? std::min(n, size_ - offset) : 0;
    uint8_t* target = stack_;
    if (n > kStackBlock) {
      heap_.resize(static_cast<size_t>(n));
      target = heap_.data();
    }
    // Not cleared first: only the bytes that were read are ever looked at.
    length_ = n ? source_.ReadAt(offset, target, static_cast<size_t>(n)) : 0;
    window_ = target;
    start_ = offset;
  }

  TByteSource& source_;
  uint64_t size_;
  uint8_t stack_[kStackBlock];
  std::vector<uint8_t> heap_;
  const uint8_t* window_ = stack_;
  uint64_t start_ = 0;
  size_t length_ = 0;
  bool failed_ = false;
};

uint8_t U8(TBlockReader& in, uint64_t off) { return *in.At(off, 1); }

uint16_t U16LE(TBlockReader& in, uint64_t off) {
  const uint8_t* p = in.At(off, 2);
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint16_t U16BE(TBlockReader& in, uint64_t off) {
  const uint8_t* p = in.At(off, 2);
  return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

uint32_t U32LE(TBlockReader& in, uint64_t off) {
  const uint8_t* p = in.At(off, 4);
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void ReadPNG(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itPNG;
  const int32_t bitDepth = U8(in, 24);
  switch (U8(in, 25)) {
    case 0: info.Depth = bitDepth; break;
    case 2: info.Depth = 3 * bitDepth; break;
    case 3: info.Depth = 8; break;  // a palette index, whatever its bit depth
    case 4: info.Depth = 2 * bitDepth; break;
    case 6: info.Depth = 4 * bitDepth; break;
    default: info.ImageType = itNone; return;
  }
  // Low 16 bits only, on purpose: the reported width and height are the low
  // halves of the header's 32-bit fields.
  info.Width = U16BE(in, 18);
  info.Height = U16BE(in, 22);
}

void ReadGIF(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itGIF;
  info.Width = U16LE(in, 6);
  info.Height = U16LE(in, 8);
  info.Depth = (U8(in, 10) & 7) + 1;
}

void ReadBMP(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itBMP;
  // Two unsigned bytes each, on purpose: a top-down bitmap's negative height
  // comes out as 65536 minus its size.
  info.Width = U16LE(in, 18);
  info.Height = U16LE(in, 22);
  info.Depth = U8(in, 28);
}

void ReadPCX(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itPCX;
  const int32_t bitsPerPlane = U8(in, 3);
  const int32_t xMin = U16LE(in, 4), yMin = U16LE(in, 6);
  const int32_t xMax = U16LE(in, 8), yMax = U16LE(in, 10);
  const int32_t planes = U8(in, 65);
  info.Width = xMax - xMin + 1;
  info.Height = yMax - yMin + 1;
  info.Depth = bitsPerPlane * planes;
}

// Both TIFF byte orders: only the first directory is read, and each of the
// three tags takes its value from the entry's value field, whatever its count.
void ReadTIFF(TDCImageInfo& info, TBlockReader& in, bool bigEndian) {
  info.ImageType = itTIFF;
  auto u16 = [&](uint64_t off) { return bigEndian ? U16BE(in, off) : U16LE(in, off); };
  auto u32 = [&](uint64_t off) { return bigEndian ? SwapLong(U32LE(in, off)) : U32LE(in, off); };

  const int32_t directory = static_cast<int32_t>(u32(4));
  if (directory < 0) {  // names no position in the file
    in.Fail();
    return;
  }
  const uint64_t d = static_cast<uint64_t>(directory);
  const uint32_t entries = u16(d);
  in.Prefetch(d + 2, 12ull * entries);
  for (uint32_t k = 0; k < entries && !in.Failed(); ++k) {
    const uint64_t e = d + 2 + 12ull * k;
    const uint16_t tag = u16(e);
    if (tag < 256 || tag > 258) continue;
    int32_t value = 0;
    switch (u16(e + 2)) {
      case 1: value = U8(in, e + 8); break;
      case 3: value = u16(e + 8); break;
      case 4: value = static_cast<int32_t>(u32(e + 8)); break;
      default: break;
    }
    if (tag == 256) info.Width = value;
    if (tag == 257) info.Height = value;
    if (tag == 258) info.Depth = value;
  }
  if (info.Width <= 0 || info.Height <= 0 || info.Depth <= 0) info.Clear();
}

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

void ScanJPEG(TDCImageInfo& info, TBlockReader& in) {
  const int64_t fileEnd = static_cast<int64_t>(info.FileSize) - 4;
  const int64_t p = FindStartMarker(in, fileEnd);
  if (p < 0) return;

  int32_t budget = kMarkerSearchBudget;
  bool exifSeen = false;
  int64_t q = p + 1;
  for (;;) {
    q = FindMarker(in, q, fileEnd, budget);
    if (q < 0) return;
    const uint64_t at = static_cast<uint64_t>(q);
    const uint8_t marker = U8(in, at + 1);
    if (marker >= 0xC0 && marker <= 0xC3) break;
    const uint32_t length = U16BE(in, at + 2);
    if (in.Failed()) return;
    // The first APP1 that begins with the Exif signature is the Exif block;
    // XMP and later blocks are not looked at.
    if (marker == 0xE1 && !exifSeen && IsExifSignature(in, at, length)) {
      exifSeen = true;
      info.Orientation = ExifOrientation(in, at, length);
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

// Runs one reader; a read that failed anywhere in it leaves a cleared result.
template <typename TReader>
void Guarded(TDCImageInfo& info, TBlockReader& in, TReader reader) {
  in.ClearError();
  reader();
  if (in.Failed()) info.Clear();
}

}  // namespace

uint32_t SwapLong(uint32_t value) {
  return value >> 24 | (value >> 8 & 0xFF00) | (value << 8 & 0xFF0000) | value << 24;
}

void TDCImageInfo::Clear() {
  ImageType = itNone;
  Width = 0;
  Height = 0;
  Depth = 0;
}

void TDCImageInfo::ReadInfo(const TPathName& fileName) { ReadFile(fileName.Text, fileName.CodePage); }

void TDCImageInfo::ReadInfo(const std::string& ansiFileName) { ReadFile(ansiFileName, cpAnsi); }

void TDCImageInfo::ReadFile(const std::string& fileName, TCodePage codePage) {
  std::unique_ptr<TByteSource> source = OpenFileSource(fileName, codePage);
  if (!source) {
    Clear();
    Orientation = 0;
    FileSize = 0;
    return;
  }
  ReadInfoFrom(std::move(source));
}

void TDCImageInfo::ReadInfoFrom(std::unique_ptr<TByteSource> source) {
  Clear();
  Orientation = 0;
  Stream = std::move(source);
  const uint64_t size = Stream->Size();
  FileSize = static_cast<int32_t>(std::min<uint64_t>(size, std::numeric_limits<int32_t>::max()));
  TBlockReader in(*Stream);
  const uint8_t* s = in.At(0, 3);
  if (!in.Failed()) {
    const uint8_t s0 = s[0], s1 = s[1], s2 = s[2];
    if (s0 == 0x89 && s1 == 'P' && s2 == 'N') Guarded(*this, in, [&] { ReadPNG(*this, in); });
    if (s0 == 'G' && s1 == 'I' && s2 == 'F') Guarded(*this, in, [&] { ReadGIF(*this, in); });
    if (s0 == 'B' && s1 == 'M') Guarded(*this, in, [&] { ReadBMP(*this, in); });
    if (s0 == 0x0A) Guarded(*this, in, [&] { ReadPCX(*this, in); });
    if (s0 == 'I' && s1 == 'I' && s2 == 0x2A) Guarded(*this, in, [&] { ReadTIFF(*this, in, false); });
    if (s0 == 'M' && s1 == 'M' && s2 == 0x00) Guarded(*this, in, [&] { ReadTIFF(*this, in, true); });
    // Last, as the catch-all: a file that no reader took may still hold a
    // JPEG start marker in its first 20000 bytes.
    if (ImageType == itNone) Guarded(*this, in, [&] { ScanJPEG(*this, in); });
  }
  Stream.reset();
}

size_t TMemorySource::ReadAt(uint64_t offset, void* buffer, size_t n) {
  if (offset >= size_) return 0;
  size_t count = std::min<uint64_t>(n, size_ - offset);
  std::memcpy(buffer, data_ + offset, count);
  return count;
}
