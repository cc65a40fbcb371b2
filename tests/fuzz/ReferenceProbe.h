// The probe written the slow, literal way: every read is a positioned read
// of a few bytes that fails at the end of the data. The real probe reads
// blocks and scans them in memory; the fuzzer and the tests hold the two
// to the same results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

namespace reference {

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

  TResult Run() {
    r_.FileSize = static_cast<int32_t>(n_ > 2147483647u ? 2147483647u : n_);
    if (n_ < 3) return r_;
    const uint8_t s0 = d_[0], s1 = d_[1], s2 = d_[2];
    if (s0 == 0x89 && s1 == 'P' && s2 == 'N') Guard(&TProbe::Png);
    if (s0 == 'G' && s1 == 'I' && s2 == 'F') Guard(&TProbe::Gif);
    if (s0 == 'B' && s1 == 'M') Guard(&TProbe::Bmp);
    if (s0 == 0x0A) Guard(&TProbe::Pcx);
    if (s0 == 'I' && s1 == 'I' && s2 == 0x2A) { big_ = false; Guard(&TProbe::Tiff); }
    if (s0 == 'M' && s1 == 'M' && s2 == 0x00) { big_ = true; Guard(&TProbe::Tiff); }
    if (r_.ImageType == 0) Guard(&TProbe::Jpeg);
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
    const int b = static_cast<int>(B(24)), ct = static_cast<int>(B(25));
    if (ct == 0) r_.Depth = b;
    else if (ct == 2) r_.Depth = 3 * b;
    else if (ct == 3) r_.Depth = 8;
    else if (ct == 4) r_.Depth = 2 * b;
    else if (ct == 6) r_.Depth = 4 * b;
    else { r_.ImageType = 0; return; }
    r_.Width = static_cast<int>(BE16(18));
    r_.Height = static_cast<int>(BE16(22));
  }
  void Gif() {
    r_.ImageType = 1;
    r_.Width = static_cast<int>(LE16(6));
    r_.Height = static_cast<int>(LE16(8));
    r_.Depth = static_cast<int>(B(10) & 7) + 1;
  }
  void Bmp() {
    r_.ImageType = 4;
    r_.Width = static_cast<int>(LE16(18));
    r_.Height = static_cast<int>(LE16(22));
    r_.Depth = static_cast<int>(B(28));
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
  void Tiff() {
    r_.ImageType = 6;
    auto u16 = [&](uint64_t o) { return big_ ? BE16(o) : LE16(o); };
    auto u32 = [&](uint64_t o) { return big_ ? BE32(o) : LE32(o); };
    const int32_t dir = static_cast<int32_t>(u32(4));
    if (dir < 0) throw TEnd{};
    const uint64_t d = static_cast<uint64_t>(dir);
    const uint32_t k = u16(d);
    for (uint32_t i = 0; i < k; ++i) {
      const uint64_t e = d + 2 + 12ull * i;
      const uint32_t tag = u16(e);
      if (tag < 256 || tag > 258) continue;
      const uint32_t type = u16(e + 2);
      int32_t v = 0;
      if (type == 1) v = static_cast<int32_t>(B(e + 8));
      else if (type == 3) v = static_cast<int32_t>(u16(e + 8));
      else if (type == 4) v = static_cast<int32_t>(u32(e + 8));
      (tag == 256 ? r_.Width : tag == 257 ? r_.Height : r_.Depth) = v;
    }
    if (r_.Width <= 0 || r_.Height <= 0 || r_.Depth <= 0) Clear();
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
  bool big_ = false;
  TResult r_;
};

inline TResult Probe(const uint8_t* data, size_t size) { return TProbe(data, size).Run(); }

}  // namespace reference
