// The readers' view of a file: positioned reads served from one window of
// it, a sticky verdict when a reader finds the file short or its structure
// broken, and byte helpers named by width and order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "imageinfo/ByteSource.h"
#include "platform/LargeMemory.h"

// Why a file got no size.
enum TProbeFailure : uint8_t {
  pfNone = 0,
  pfUnreadable,    // the file could not be opened
  pfUnrecognised,  // no format took it
  pfTruncated,     // a reader needed bytes beyond the end of the file
  pfUnsupported,   // a known format in a variant that carries no size
  pfDamaged,       // a structure that does not hold
};

// First read from every file: every header but that of a long JPEG walk.
constexpr size_t kFirstRead = 4096;

// Serves positioned reads from one window of the file: the first kFirstRead
// bytes to begin with, then whatever part a reader asks for next. A read
// fails exactly when a per-byte positioned read of the file would, at its
// end; the failure is kept until ClearVerdict, and a failed read yields
// zeros, so a reader runs to its end harmlessly and is judged there.
class TBlockReader {
 public:
  explicit TBlockReader(TByteSource& source) : source_(source), size_(source.Size()) { Load(0, kFirstRead); }

  uint64_t Size() const { return size_; }

  // n (at most 8) bytes at offset; zeros and the truncated verdict when
  // fewer are left.
  const uint8_t* At(uint64_t offset, size_t n) {
    ++steps_;
    if (offset > size_ || n > size_ - offset) return Fail(pfTruncated);
    if (!Holds(offset, n)) {
      Load(offset, std::max<uint64_t>(n, kReadBlock));
      if (!Holds(offset, n)) return Fail(pfTruncated);
    }
    return window_ + (offset - start_);
  }

  // The bytes in memory from offset on, at least `minimum` of them: when the
  // window holds fewer, `wanted` bytes are read there (cut at the end of the
  // file). Returns how many there are, fewer than minimum only at the end.
  size_t View(uint64_t offset, size_t minimum, size_t wanted, const uint8_t*& data) {
    ++steps_;
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

  // The reader's verdict on the file; the first one stands.
  const uint8_t* Fail(TProbeFailure why) {
    if (verdict_ == pfNone) verdict_ = why;
    return kZeros;
  }
  bool Failed() const { return verdict_ != pfNone; }
  TProbeFailure Verdict() const { return verdict_; }
  void ClearVerdict() { verdict_ = pfNone; }

  // What the readers cost so far: bytes read from the source, and reads of
  // the window (At and View calls). Every reader's work is bounded; the
  // fuzz target holds both to a multiple of the file's length.
  uint64_t BytesLoaded() const { return loaded_; }
  uint64_t Steps() const { return steps_; }

 private:
  static constexpr size_t kReadBlock = 4096;
  // Loads up to this size stay on the stack: the JPEG start-marker search
  // reads its whole range of 20000 bytes at once, and it fits.
  static constexpr size_t kStackBlock = 20016;
  static constexpr uint8_t kZeros[8] = {};

  bool Holds(uint64_t offset, uint64_t n) const {
    return offset >= start_ && offset - start_ <= length_ && n <= length_ - (offset - start_);
  }

  // A block larger than the stack's comes from the non-aborting allocator:
  // when it cannot be had, the window is empty and the reads fail.
  void Load(uint64_t offset, uint64_t n) {
    n = offset < size_ ? std::min(n, size_ - offset) : 0;
    uint8_t* target = stack_;
    if (n > kStackBlock) {
      if (heap_.Capacity() < n && !heap_.Allocate(static_cast<size_t>(n))) n = 0;
      target = reinterpret_cast<uint8_t*>(heap_.Data());
    }
    // Not cleared first: only the bytes that were read are ever looked at.
    length_ = n ? source_.ReadAt(offset, target, static_cast<size_t>(n)) : 0;
    loaded_ += length_;
    window_ = length_ ? target : stack_;
    start_ = offset;
  }

  TByteSource& source_;
  uint64_t size_;
  uint8_t stack_[kStackBlock];
  TLargeBuffer heap_;
  const uint8_t* window_ = stack_;
  uint64_t start_ = 0;
  size_t length_ = 0;
  TProbeFailure verdict_ = pfNone;
  uint64_t loaded_ = 0, steps_ = 0;
};

inline uint8_t U8(TBlockReader& in, uint64_t off) { return *in.At(off, 1); }

inline uint16_t U16LE(TBlockReader& in, uint64_t off) {
  const uint8_t* p = in.At(off, 2);
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint16_t U16BE(TBlockReader& in, uint64_t off) {
  const uint8_t* p = in.At(off, 2);
  return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

inline uint32_t U24LE(TBlockReader& in, uint64_t off) {
  const uint8_t* p = in.At(off, 3);
  return p[0] | p[1] << 8 | static_cast<uint32_t>(p[2]) << 16;
}

inline uint32_t U32LE(TBlockReader& in, uint64_t off) {
  const uint8_t* p = in.At(off, 4);
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline uint32_t U32BE(TBlockReader& in, uint64_t off) {
  const uint8_t* p = in.At(off, 4);
  return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

inline uint64_t U64LE(TBlockReader& in, uint64_t off) {
  return U32LE(in, off) | static_cast<uint64_t>(U32LE(in, off + 4)) << 32;
}

inline uint64_t U64BE(TBlockReader& in, uint64_t off) {
  return static_cast<uint64_t>(U32BE(in, off)) << 32 | U32BE(in, off + 4);
}

// True when the value is a size a picture can have: above 0 and within the
// signed 32-bit range that the probe reports.
inline bool PlausibleSide(uint64_t v) { return v > 0 && v <= 0x7FFFFFFFu; }
