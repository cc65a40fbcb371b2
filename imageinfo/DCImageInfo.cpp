#include "imageinfo/DCImageInfo.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Serves the readers' positioned reads from at most two blocks: the head of
// the file, read once up front, and one further block for a TIFF directory
// that lies beyond it. A read fails exactly when a per-byte positioned read
// of the file would, at its end; the failure is kept until ClearError, and
// a failed read yields zero bytes, so a reader runs to its end harmlessly
// and is judged there.
class TBlockReader {
 public:
  // The head lives on the stack and is not cleared first: only the bytes
  // that were read are ever looked at.
  explicit TBlockReader(TByteSource& source) : source_(source), size_(source.Size()) {
    headLength_ = source_.ReadAt(0, head_, static_cast<size_t>(std::min<uint64_t>(size_, kHeadBlock)));
  }

  const uint8_t* Head() const { return head_; }
  size_t HeadLength() const { return headLength_; }

  // n (at most 8) bytes at offset; zeros and the error when fewer are left.
  const uint8_t* At(uint64_t offset, size_t n) {
    if (offset > size_ || n > size_ - offset) return Fail();
    if (offset + n <= headLength_) return head_ + offset;
    if (offset >= extraOffset_ && offset + n <= extraOffset_ + extra_.size())
      return extra_.data() + (offset - extraOffset_);
    Load(offset, std::max<uint64_t>(n, kMinExtraBlock));
    if (extra_.size() < n) return Fail();
    return extra_.data();
  }

  const uint8_t* Fail() {
    failed_ = true;
    return kZeros;
  }
  bool Failed() const { return failed_; }
  void ClearError() { failed_ = false; }

  // Reads [offset, offset + n) in one go (cut at the end of the file) unless
  // the head already holds it, so that a walk over it reads nothing more.
  void Prefetch(uint64_t offset, uint64_t n) {
    if (offset >= size_) return;
    n = std::min(n, size_ - offset);
    if (offset + n <= headLength_) return;
    if (offset >= extraOffset_ && offset + n <= extraOffset_ + extra_.size()) return;
    Load(offset, n);
  }

 private:
  static constexpr uint64_t kMinExtraBlock = 4096;
  static constexpr uint8_t kZeros[8] = {};

  void Load(uint64_t offset, uint64_t n) {
    n = std::min(n, size_ - offset);
    extraOffset_ = offset;
    extra_.resize(static_cast<size_t>(n));
    extra_.resize(source_.ReadAt(offset, extra_.data(), extra_.size()));
  }

  TByteSource& source_;
  uint64_t size_;
  uint8_t head_[kHeadBlock];
  size_t headLength_ = 0;
  std::vector<uint8_t> extra_;
  uint64_t extraOffset_ = 0;
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

// Index of the first 0xFF at or after from and before limit, or -1.
int64_t FindFF(const uint8_t* data, int64_t from, int64_t limit) {
  if (from >= limit) return -1;
  const void* hit = std::memchr(data + from, 0xFF, static_cast<size_t>(limit - from));
  return hit ? static_cast<const uint8_t*>(hit) - data : -1;
}

void ScanJPEG(TDCImageInfo& info, TBlockReader& in) {
  const int64_t limit = std::min<int64_t>(static_cast<int64_t>(info.FileSize) - 4, kJpegWindow);
  // Every position below limit, and the bytes it reads, lie in the head block.
  const uint8_t* b = in.Head();
  if (limit > 0 && static_cast<uint64_t>(limit) + 4 > in.HeadLength()) {
    in.Fail();
    return;
  }

  int64_t p = 0;
  for (;; ++p) {
    p = FindFF(b, p, limit);
    if (p < 0) return;
    if (b[p + 1] == 0xD8 && b[p + 2] == 0xFF) break;
  }

  int64_t q = p + 1;
  for (;;) {
    q = FindFF(b, q, limit);
    if (q < 0) return;
    const uint8_t marker = b[q + 1];
    if (marker == 0xFF) {
      ++q;
      continue;
    }
    if (marker >= 0xC0 && marker <= 0xC3) break;
    // Resume behind the whole segment, at the following marker. Restarting
    // two bytes short of it would take a segment that ends in FF xx (an EXIF
    // block ending with its thumbnail's FF D9) for a marker. The marker's two
    // bytes are always passed, so no length can hold the walk in place.
    const int64_t length = b[q + 2] << 8 | b[q + 3];
    q += 2 + length;
  }

  info.ImageType = itJPEG;
  info.Height = U16BE(in, static_cast<uint64_t>(q) + 5);
  info.Width = U16BE(in, static_cast<uint64_t>(q) + 7);
  info.Depth = U8(in, static_cast<uint64_t>(q) + 9) * 8;
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

void TDCImageInfo::ReadInfo(const TPathName& fileName) {
  Clear();
  std::unique_ptr<TByteSource> source = OpenFileSource(fileName);
  if (!source) {
    FileSize = 0;
    return;
  }
  ReadInfoFrom(std::move(source));
}

void TDCImageInfo::ReadInfo(const std::string& ansiFileName) { ReadInfo(TPathName(ansiFileName, cpAnsi)); }

void TDCImageInfo::ReadInfoFrom(std::unique_ptr<TByteSource> source) {
  Clear();
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
