// The probe written the slow, literal way: every read is a positioned read
// of a few bytes that fails at the end of the data. The real probe reads
// blocks and scans them in memory; the fuzzer and the tests hold the two
// to the same results.
#pragma once

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "imageinfo/formats/Formats.h"

namespace reference {

// What probing an input of `size` bytes may cost: the first read (4 KB),
// the JPEG start search (20 KB) and the SVG window (68 KB) may each cover
// the whole of a short file; beyond those, every reader moves forward
// through the file or stays within a bounded range.
inline bool CostIsBounded(uint64_t bytesRead, uint64_t steps, uint64_t size) {
  return bytesRead <= 8 * size + 256 * 1024 && steps <= 8 * size + 200000;
}

struct TResult {
  int ImageType = 0, Width = 0, Height = 0, Depth = 0;
  int32_t FileSize = 0;
  int Orientation = 0;
  bool operator==(const TResult& o) const {
    return ImageType == o.ImageType && Width == o.Width && Height == o.Height && Depth == o.Depth &&
           FileSize == o.FileSize && Orientation == o.Orientation;
  }
};

class TProbe {
 public:
  TProbe(const uint8_t* data, size_t size) : d_(data), n_(size) {}

  // The formats of the old six, read literally. A file with the signature
  // of one of the newer formats (WebP, AVIF/HEIF, JPEG XL, icons) goes
  // straight to the JPEG scan here, as it does in the probe when that
  // format's reader fails; where the reader succeeds, or takes the file for
  // an SVG, this reading says nothing (the caller compares only files that
  // the probe did not give one of those types).
  TResult Run() {
    r_.FileSize = static_cast<int32_t>(n_ > 2147483647u ? 2147483647u : n_);
    if (n_ < 3) return r_;
    const uint8_t s0 = d_[0], s1 = d_[1], s2 = d_[2];
    const size_t head = n_ < 4096 ? n_ : 4096;
    const bool ico = n_ >= 4 && s0 == 0 && s1 == 0 && (s2 == 1 || s2 == 2) && d_[3] == 0;
    if (s0 == 0x89 && s1 == 'P' && s2 == 'N') Guard(&TProbe::Png);
    else if (s0 == 'G' && s1 == 'I' && s2 == 'F') Guard(&TProbe::Gif);
    else if (s0 == 'B' && s1 == 'M') Guard(&TProbe::Bmp);
    else if (s0 == 'I' && s1 == 'I' && (s2 == 0x2A || (s2 == 0x2B && n_ >= 4 && d_[3] == 0))) { bigEndian_ = false; Guard(&TProbe::Tiff); }
    else if (s0 == 'M' && s1 == 'M' && s2 == 0x00) { bigEndian_ = true; Guard(&TProbe::Tiff); }
    else if (formats::IsWebP(d_, head) || formats::IsHEIF(d_, head) || formats::IsJXL(d_, head) || ico) {}
    else if (s0 == 0x0A && PcxHeader()) Guard(&TProbe::Pcx);
    if (r_.ImageType == 0) Guard(&TProbe::Jpeg);
    if (r_.ImageType == 0) r_.Orientation = 0;
    return r_;
  }

 private:
  struct TEnd {};
  uint32_t B(uint64_t off) const {
    if (off >= n_) throw TEnd{};
    return d_[off];
  }
  uint32_t LE16(uint64_t o) const { return B(o) | B(o + 1) << 8; }
  uint32_t BE16(uint64_t o) const { return B(o) << 8 | B(o + 1); }
  uint32_t LE32(uint64_t o) const { return LE16(o) | LE16(o + 2) << 16; }
  uint32_t BE32(uint64_t o) const { return BE16(o) << 16 | BE16(o + 2); }
  void Clear() { r_.ImageType = r_.Width = r_.Height = r_.Depth = 0; }
  void Guard(void (TProbe::*reader)()) {
    try {
      (this->*reader)();
    } catch (const TEnd&) {
      Clear();
    }
  }

  void Png() {
    r_.ImageType = 3;
    // After a leading CgBI chunk (Apple's), IHDR is the second chunk.
    const uint64_t h = BE32(12) == 0x43674249u ? 20 + BE32(8) : 8;
    const int b = static_cast<int>(B(h + 16)), ct = static_cast<int>(B(h + 17));
    if (ct == 0) r_.Depth = b;
    else if (ct == 2) r_.Depth = 3 * b;
    else if (ct == 3) r_.Depth = 8;
    else if (ct == 4) r_.Depth = 2 * b;
    else if (ct == 6) r_.Depth = 4 * b;
    else { r_.ImageType = 0; return; }
    Size(BE32(h + 8), BE32(h + 12));
  }
  void Size(uint64_t w, uint64_t h) {
    if (w > 0x7FFFFFFF || h > 0x7FFFFFFF) throw TEnd{};
    r_.Width = static_cast<int>(w);
    r_.Height = static_cast<int>(h);
  }
  // The screen, grown to the first image descriptor's frame; the walk to it
  // stops quietly wherever the file does not go on as a GIF.
  void Gif() {
    r_.ImageType = 1;
    uint64_t w = LE16(6), h = LE16(8);
    const uint32_t packed = B(10);
    r_.Depth = static_cast<int>(packed & 7) + 1;
    uint64_t at = 13 + ((packed & 0x80) ? 3ull << ((packed & 7) + 1) : 0);
    int blocks = 0;
    while (at < n_) {
      if (d_[at] == 0x2C) {
        if (at + 9 <= n_) {
          w = std::max<uint64_t>(w, LE16(at + 1) + LE16(at + 5));
          h = std::max<uint64_t>(h, LE16(at + 3) + LE16(at + 7));
        }
        break;
      }
      if (d_[at] != 0x21) break;
      at += 2;
      bool more = true;
      while (more) {
        if (at >= n_ || ++blocks > 4096) { at = n_; break; }
        more = d_[at] != 0;
        at += 1 + d_[at];
      }
    }
    r_.Width = static_cast<int>(w);
    r_.Height = static_cast<int>(h);
  }
  // A header as browsers take it: a size they know, one plane, a bit count
  // they draw (0 only for a JPEG or PNG stream in a Windows header).
  void Bmp() {
    r_.ImageType = 4;
    const uint64_t size = LE32(14);
    const bool core = size == 12;
    const uint64_t planes = LE16(core ? 22 : 26), bits = LE16(core ? 24 : 28);
    const uint64_t compression = core || bits != 0 || size < 20 ? 0 : LE32(30);
    const bool sized = core || size == 40 || size == 108 || size == 124 ||
                       (size >= 16 && size <= 64 && (size % 4 == 0 || size == 42 || size == 46));
    const bool drawn = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 24 ||
                       (!core && (bits == 16 || bits == 32 || (bits == 0 && (compression == 4 || compression == 5))));
    if (!sized || planes != 1 || !drawn) throw TEnd{};
    r_.Depth = static_cast<int>(bits);
    if (core) {
      r_.Width = static_cast<int>(LE16(18));
      r_.Height = static_cast<int>(LE16(20));
      return;
    }
    const int64_t w = static_cast<int32_t>(LE32(18)), h = static_cast<int32_t>(LE32(22));
    if (w <= 0 || h == INT32_MIN) throw TEnd{};
    r_.Width = static_cast<int>(w);
    r_.Height = static_cast<int>(h < 0 ? -h : h);
  }
  bool PcxHeader() const {
    if (n_ < 12) return false;
    const uint32_t v = d_[1], bits = d_[3];
    return (v == 0 || v == 2 || v == 3 || v == 4 || v == 5) && d_[2] == 1 &&
           (bits == 1 || bits == 2 || bits == 4 || bits == 8) && LE16(8) >= LE16(4) && LE16(10) >= LE16(6);
  }
  void Pcx() {
    r_.ImageType = 5;
    const int p = static_cast<int>(B(3));
    const int x0 = static_cast<int>(LE16(4)), y0 = static_cast<int>(LE16(6));
    const int x1 = static_cast<int>(LE16(8)), y1 = static_cast<int>(LE16(10));
    const int planes = static_cast<int>(B(65));
    r_.Width = x1 - x0 + 1;
    r_.Height = y1 - y0 + 1;
    r_.Depth = p * planes;
  }
  // Classic TIFF and BigTIFF: width, height, the sum of bits per sample
  // (one when the tag is missing) and the orientation.
  void Tiff() {
    r_.ImageType = 6;
    auto u16 = [&](uint64_t o) -> uint64_t { return bigEndian_ ? BE16(o) : LE16(o); };
    auto u32 = [&](uint64_t o) -> uint64_t { return bigEndian_ ? BE32(o) : LE32(o); };
    auto u64 = [&](uint64_t o) -> uint64_t { return bigEndian_ ? u32(o) << 32 | u32(o + 4) : u32(o + 4) << 32 | u32(o); };
    const bool big = u16(2) == 43;
    auto word = [&](uint64_t o) { return big ? u64(o) : u32(o); };
    auto value = [&](uint64_t type, uint64_t o) -> uint64_t {
      if (type == 1) return B(o);
      if (type == 3) return u16(o);
      if (type == 4) return u32(o);
      if (type == 16 && big) return u64(o);
      return 0;
    };
    uint64_t dir, count;
    if (big) {
      if (u16(4) != 8 || u16(6) != 0) throw TEnd{};
      dir = u64(8);
      count = u64(dir);
      if (count > (1u << 20)) throw TEnd{};
    } else {
      dir = u32(4);
      count = u16(dir);
    }
    const uint64_t entry = big ? 20 : 12, wordSize = big ? 8 : 4, first = dir + (big ? 8 : 2);
    // The walk stops at the first tag past 274, or after 4096 entries; bits
    // per sample are summed for the last entry of tag 258 alone.
    uint64_t w = 0, h = 0, depth = 1, samples = 0;
    for (uint64_t i = 0; i < count && i < 4096; ++i) {
      const uint64_t e = first + entry * i;
      const uint64_t tag = u16(e);
      if (tag > 274) break;
      if (tag != 256 && tag != 257 && tag != 258 && tag != 274) continue;
      const uint64_t type = u16(e + 2), field = e + 4 + wordSize;
      if (tag == 256) w = value(type, field);
      if (tag == 257) h = value(type, field);
      if (tag == 274) r_.Orientation = type == 3 ? static_cast<int>(u16(field)) : 0;
      if (tag == 258) samples = e;
    }
    if (samples) {
      const uint64_t e = samples, type = u16(e + 2), field = e + 4 + wordSize, n = word(e + 4);
      const uint64_t size = type == 1 ? 1 : type == 3 ? 2 : type == 4 ? 4 : type == 16 && big ? 8 : 0;
      if (n <= 1) {
        depth = value(type, field);
      } else if (size == 0 || n > 1024) {
        depth = n * 8;
      } else {
        const uint64_t at = n * size <= wordSize ? field : word(field);
        if (at > n_ || n * size > n_ - at) {
          depth = n * 8;
        } else {
          depth = 0;
          for (uint64_t k = 0; k < n; ++k) depth += value(type, at + k * size);
        }
      }
    }
    if (w == 0 || h == 0 || depth == 0 || depth > 0x7FFFFFFF) throw TEnd{};
    Size(w, h);
    r_.Depth = static_cast<int>(depth);
    if (r_.Orientation >= 5 && r_.Orientation <= 8) std::swap(r_.Width, r_.Height);
  }
  // The start marker below min(L, 20000); then the walk from marker to
  // marker along the segment lengths, its searches for the next marker
  // sharing a budget of 20000 examined positions.
  void Jpeg() {
    const int64_t l = static_cast<int64_t>(r_.FileSize) - 4;
    int64_t p = 0;
    for (;; ++p) {
      if (!(p < l && p < 20000)) return;
      if (B(p) == 0xFF && B(p + 1) == 0xD8 && B(p + 2) == 0xFF) break;
    }
    int64_t q = p + 1;
    int budget = 20000;
    bool exifSeen = false;
    for (;;) {
      bool found = false;
      while (q < l && budget > 0) {
        --budget;
        if (B(q) == 0xFF && B(q + 1) != 0xFF) {
          found = true;
          break;
        }
        ++q;
      }
      if (!found) return;
      const uint32_t m = B(q + 1);
      if (m >= 0xC0 && m <= 0xC3) break;
      const uint32_t s = BE16(q + 2);
      if (m == 0xE1 && !exifSeen) {
        const uint64_t low = q + 4, high = q + 2 + s;
        auto in = [&](uint64_t o) { return o >= low && o < high && o < n_; };
        bool exif = true;
        const char* signature = "Exif\0\0";
        for (int i = 0; i < 6 && exif; ++i) exif = in(q + 4 + i) && d_[q + 4 + i] == static_cast<uint8_t>(signature[i]);
        if (exif) {
          exifSeen = true;
          r_.Orientation = Orientation(q + 10, in);
        }
      }
      q += 2 + s;
    }
    r_.ImageType = 2;
    r_.Height = static_cast<int>(BE16(q + 5));
    r_.Width = static_cast<int>(BE16(q + 7));
    r_.Depth = static_cast<int>(B(q + 9)) * 8;
    if (r_.Orientation >= 5 && r_.Orientation <= 8) std::swap(r_.Width, r_.Height);
  }

  // The Exif orientation of the TIFF structure at t, every byte read one at
  // a time and only where `in` allows; 0 when there is none.
  template <typename TInside>
  int Orientation(uint64_t t, TInside in) {
    auto byte = [&](uint64_t o, bool& ok) -> uint32_t {
      ok = ok && in(o);
      return ok ? d_[o] : 0;
    };
    bool ok = true;
    const uint32_t o0 = byte(t, ok), o1 = byte(t + 1, ok);
    if (!ok) return 0;
    bool big;
    if (o0 == 'I' && o1 == 'I') big = false;
    else if (o0 == 'M' && o1 == 'M') big = true;
    else return 0;
    auto u16 = [&](uint64_t o, bool& ok) {
      const uint32_t a = byte(o, ok), b = byte(o + 1, ok);
      return big ? a << 8 | b : b << 8 | a;
    };
    auto u32 = [&](uint64_t o, bool& ok) {
      const uint32_t a = u16(o, ok), b = u16(o + 2, ok);
      return big ? a << 16 | b : b << 16 | a;
    };
    if (u16(t + 2, ok) != 42 || !ok) return 0;
    const uint64_t dir = t + u32(t + 4, ok);
    if (!ok) return 0;
    const uint32_t count = u16(dir, ok);
    if (!ok) return 0;
    for (uint32_t k = 0; k < count; ++k) {
      const uint64_t e = dir + 2 + 12ull * k;
      const uint32_t tag = u16(e, ok);
      if (!ok) return 0;
      if (tag != 0x0112) continue;
      const uint32_t type = u16(e + 2, ok), n = u32(e + 4, ok), value = u16(e + 8, ok);
      if (!ok) return 0;
      return type == 3 && n == 1 ? static_cast<int>(value) : 0;
    }
    return 0;
  }

  const uint8_t* d_;
  size_t n_;
  bool bigEndian_ = false;
  TResult r_;
};

inline TResult Probe(const uint8_t* data, size_t size) { return TProbe(data, size).Run(); }

}  // namespace reference
