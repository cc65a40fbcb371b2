// Small builders of image headers and files, for tests, fuzz seeds and the
// benchmark corpus. Each writes just enough of its format for the probe.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

namespace img {

inline void Put16LE(TBytes& b, size_t at, uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8 & 0xFF;
}
inline void Put16BE(TBytes& b, size_t at, uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = v >> 8 & 0xFF;
  b[at + 1] = v & 0xFF;
}
inline void Put32LE(TBytes& b, size_t at, uint32_t v) {
  Put16LE(b, at, v & 0xFFFF);
  Put16LE(b, at + 2, v >> 16);
}
inline void Put32BE(TBytes& b, size_t at, uint32_t v) {
  Put16BE(b, at, v >> 16);
  Put16BE(b, at + 2, v & 0xFFFF);
}
inline void Append(TBytes& b, std::initializer_list<int> bytes) {
  for (int v : bytes) b.push_back(static_cast<uint8_t>(v));
}
inline void Append(TBytes& b, const TBytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// Signature and IHDR chunk: 33 bytes.
inline TBytes PngHeader(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType) {
  TBytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  Put32BE(b, 16, width);
  Put32BE(b, 20, height);
  Append(b, {bitDepth, colourType, 0, 0, 0});
  Append(b, {0, 0, 0, 0});  // CRC, not checked by the probe
  return b;
}

// A whole PNG that decoders read: RGBA pixels of one colour, alpha as
// given, in stored (uncompressed) deflate blocks, with real checksums.
inline uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}
inline TBytes PngImage(uint32_t width, uint32_t height, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  TBytes raw;
  for (uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (uint32_t x = 0; x < width; ++x) Append(raw, {red, green, blue, alpha});
  }
  TBytes z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n >= raw.size() ? 1 : 0);
    Append(z, {static_cast<int>(n & 0xFF), static_cast<int>(n >> 8), static_cast<int>(~n & 0xFF), static_cast<int>(~n >> 8 & 0xFF)});
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    if (raw.empty()) break;
  }
  Append(z, {static_cast<int>(b >> 8), static_cast<int>(b & 0xFF), static_cast<int>(a >> 8), static_cast<int>(a & 0xFF)});
  TBytes png = PngHeader(width, height, 8, 6);
  Put32BE(png, 29, Crc32(png.data() + 12, 17));
  auto chunk = [&](const char* type, const TBytes& data) {
    TBytes c;
    Put32BE(c, 0, static_cast<uint32_t>(data.size()));
    Append(c, {type[0], type[1], type[2], type[3]});
    Append(c, data);
    Put32BE(c, c.size(), Crc32(c.data() + 4, c.size() - 4));
    Append(png, c);
  };
  chunk("IDAT", z);
  chunk("IEND", {});
  return png;
}

// "GIF89a" and the logical screen descriptor: 13 bytes.
inline TBytes GifHeader(uint16_t width, uint16_t height, uint8_t packed) {
  TBytes b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16LE(b, 6, width);
  Put16LE(b, 8, height);
  Append(b, {packed, 0, 0});
  return b;
}

// File header and BITMAPINFOHEADER: 54 bytes.
inline TBytes BmpHeader(int32_t width, int32_t height, uint16_t bitsPerPixel) {
  TBytes b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32LE(b, 2, 54);
  Put32LE(b, 10, 54);
  Put32LE(b, 14, 40);
  Put32LE(b, 18, static_cast<uint32_t>(width));
  Put32LE(b, 22, static_cast<uint32_t>(height));
  Put16LE(b, 26, 1);
  Put16LE(b, 28, bitsPerPixel);
  return b;
}

// The 128-byte PCX header.
inline TBytes PcxHeader(uint16_t xMin, uint16_t yMin, uint16_t xMax, uint16_t yMax, uint8_t bitsPerPlane,
                        uint8_t planes) {
  TBytes b(128, 0);
  b[0] = 0x0A;
  b[1] = 5;
  b[2] = 1;
  b[3] = bitsPerPlane;
  Put16LE(b, 4, xMin);
  Put16LE(b, 6, yMin);
  Put16LE(b, 8, xMax);
  Put16LE(b, 10, yMax);
  b[65] = planes;
  return b;
}

struct TTiffEntry {
  uint16_t Tag;
  uint16_t Type;
  uint32_t Value;  // left-justified in the value field, as TIFF stores it
  uint32_t Count = 1;
};

// A TIFF with its first directory at dirOffset (8: right after the header).
inline TBytes TiffFile(bool bigEndian, const std::vector<TTiffEntry>& entries, uint32_t dirOffset = 8) {
  TBytes b(8, 0);
  auto p16 = [&](size_t at, uint32_t v) { bigEndian ? Put16BE(b, at, v) : Put16LE(b, at, v); };
  auto p32 = [&](size_t at, uint32_t v) { bigEndian ? Put32BE(b, at, v) : Put32LE(b, at, v); };
  b[0] = b[1] = bigEndian ? 'M' : 'I';
  p16(2, 42);
  p32(4, dirOffset);
  if (b.size() < dirOffset) b.resize(dirOffset, 0);
  p16(dirOffset, static_cast<uint32_t>(entries.size()));
  size_t e = dirOffset + 2;
  for (const TTiffEntry& entry : entries) {
    p16(e, entry.Tag);
    p16(e + 2, entry.Type);
    p32(e + 4, entry.Count);
    if (entry.Type == 1) {
      b.resize(std::max(b.size(), e + 12), 0);
      b[e + 8] = static_cast<uint8_t>(entry.Value);
    } else if (entry.Type == 3) {
      p16(e + 8, entry.Value);
      p16(e + 10, 0);
    } else {
      p32(e + 8, entry.Value);
    }
    e += 12;
  }
  p32(e, 0);  // no next directory
  return b;
}

inline TBytes TiffImage(bool bigEndian, uint32_t width, uint32_t height, uint32_t bitsPerSample) {
  return TiffFile(bigEndian, {{256, 3, width}, {257, 4, height}, {258, 3, bitsPerSample}, {259, 3, 1}});
}

// JPEG pieces: SOI, any segment, a frame header, EOI.
inline TBytes JpegSoi() { return {0xFF, 0xD8}; }
inline TBytes JpegSegment(uint8_t marker, const TBytes& payload) {
  TBytes b = {0xFF, marker};
  Put16BE(b, 2, static_cast<uint32_t>(payload.size() + 2));
  Append(b, payload);
  return b;
}
inline TBytes JpegFrame(uint8_t marker, uint16_t width, uint16_t height, uint8_t components) {
  TBytes payload = {8};
  Put16BE(payload, 1, height);
  Put16BE(payload, 3, width);
  payload.push_back(components);
  for (uint8_t c = 0; c < components; ++c) Append(payload, {c + 1, 0x11, 0});
  return JpegSegment(marker, payload);
}
inline TBytes Jfif() {
  return JpegSegment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
}

// A typical camera-style file: SOI, APP0, DQT, SOF, then scan data and EOI.
inline TBytes JpegImage(uint16_t width, uint16_t height, uint8_t components = 3, uint8_t frame = 0xC0) {
  TBytes b = JpegSoi();
  Append(b, Jfif());
  Append(b, JpegSegment(0xDB, TBytes(65, 1)));
  Append(b, JpegFrame(frame, width, height, components));
  Append(b, JpegSegment(0xDA, {1, 1, 0, 0, 0x3F, 0}));
  Append(b, TBytes(32, 0x55));
  Append(b, {0xFF, 0xD9});
  return b;
}

inline TBytes Text(const std::string& s) { return TBytes(s.begin(), s.end()); }
inline std::string Bytes(const TBytes& b) { return std::string(b.begin(), b.end()); }

// Exif, XMP and ICC blocks as cameras and phones write them before the frame.
constexpr uint16_t kOrientationTag = 0x0112;

// An Exif APP1 segment: "Exif" 0 0, a TIFF header with its first directory
// (the entries given), then `more` bytes standing for the embedded thumbnail
// and the maker notes. The thumbnail's own markers, FF D8 to FF D9, are in
// it, as in a real block.
inline TBytes ExifSegment(bool bigEndian, const std::vector<TTiffEntry>& entries, size_t more = 0) {
  TBytes b = Text("Exif");
  Append(b, {0, 0});
  Append(b, TiffFile(bigEndian, entries));
  if (more >= 4) {
    Append(b, {0xFF, 0xD8});
    for (size_t i = 4; i < more; ++i) b.push_back(static_cast<uint8_t>(i * 7 % 251));
    Append(b, {0xFF, 0xD9});
  }
  return JpegSegment(0xE1, b);
}
inline TBytes ExifSegment(bool bigEndian, uint16_t orientation, size_t more = 0) {
  return ExifSegment(bigEndian, {{0x010F, 2, 0}, {kOrientationTag, 3, orientation}, {0x0131, 2, 0}}, more);
}

// An XMP APP1 segment of about `size` bytes.
inline TBytes XmpSegment(size_t size = 3000) {
  TBytes b = Text("http://ns.adobe.com/xap/1.0/");
  b.push_back(0);
  Append(b, Text("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF><tiff:Orientation>8</tiff:Orientation>"));
  while (b.size() < size) b.push_back(' ');
  Append(b, Text("</rdf:RDF></x:xmpmeta>"));
  return JpegSegment(0xE1, b);
}

// An ICC profile of `total` bytes in APP2 segments of at most `perSegment`.
inline TBytes IccSegments(size_t total, size_t perSegment = 60000) {
  const size_t count = (total + perSegment - 1) / perSegment;
  TBytes b;
  for (size_t i = 0; i < count; ++i) {
    TBytes payload = Text("ICC_PROFILE");
    payload.push_back(0);
    Append(payload, {static_cast<int>(i + 1), static_cast<int>(count)});
    const size_t part = std::min(perSegment, total - i * perSegment);
    for (size_t k = 0; k < part; ++k) payload.push_back(static_cast<uint8_t>((i + k) % 200));
    Append(b, JpegSegment(0xE2, payload));
  }
  return b;
}

// A photo as a phone stores it: the frame as the sensor saw it (w x h) with
// an Exif orientation, a large Exif block, XMP and a wide-gamut colour profile
// before the frame header, then the scan.
inline TBytes PhoneJpeg(uint16_t w, uint16_t h, uint16_t orientation, bool bigEndian = false,
                        size_t exifMore = 40000, size_t iccTotal = 160000) {
  TBytes b = JpegSoi();
  Append(b, ExifSegment(bigEndian, orientation, exifMore));
  Append(b, XmpSegment());
  Append(b, IccSegments(iccTotal));
  Append(b, JpegSegment(0xDB, TBytes(130, 1)));
  Append(b, JpegFrame(0xC0, w, h, 3));
  Append(b, JpegSegment(0xC4, TBytes(400, 2)));
  Append(b, JpegSegment(0xDA, {3, 1, 0, 2, 0x11, 3, 0x11, 0, 0x3F, 0}));
  Append(b, TBytes(2048, 0x55));
  Append(b, {0xFF, 0xD9});
  return b;
}

// A 4000 x 3000 photo with orientation 6 whose Exif block carries the
// thumbnail JPEG in its second directory (IFD1), at 56 in the TIFF data.
inline TBytes CameraJpeg(const TBytes& thumbnail) {
  TBytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
  Append(tiff, {1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0});  // IFD0: the orientation
  Put32LE(tiff, tiff.size(), 26);                                  // IFD1 follows
  Append(tiff, {2, 0});
  Append(tiff, {0x01, 0x02, 4, 0, 1, 0, 0, 0, 56, 0, 0, 0});        // its JPEG at 56
  Append(tiff, {0x02, 0x02, 4, 0, 1, 0, 0, 0});
  Put32LE(tiff, tiff.size(), static_cast<uint32_t>(thumbnail.size()));
  Append(tiff, {0, 0, 0, 0});
  Append(tiff, thumbnail);
  TBytes exif = {'E', 'x', 'i', 'f', 0, 0};
  Append(exif, tiff);
  TBytes photo = JpegSoi();
  Append(photo, JpegSegment(0xE1, exif));
  Append(photo, JpegFrame(0xC0, 4000, 3000, 3));
  return photo;
}

// GIF with its first image descriptor behind the global colour table and
// one extension block (a graphic control extension and a comment).
inline TBytes GifWithFrame(uint16_t screenW, uint16_t screenH, uint16_t left, uint16_t top, uint16_t w, uint16_t h) {
  TBytes b = GifHeader(screenW, screenH, 0x81);  // a global table of 4 colours
  Append(b, TBytes(12, 0));
  Append(b, {0x21, 0xF9, 4, 0, 0, 0, 0, 0});
  Append(b, {0x21, 0xFE, 3, 'h', 'i', '!', 2, 'o', 'k', 0});
  Append(b, {0x2C});
  for (uint16_t v : {left, top, w, h}) Append(b, {v & 0xFF, v >> 8});
  Append(b, {0, 2, 2, 0x44, 0x01, 0, 0x3B});
  return b;
}

// BigTIFF (version 43): a directory of 20-byte entries at 16.
inline TBytes BigTiff(bool bigEndian, const std::vector<TTiffEntry>& entries) {
  TBytes b(16, 0);
  auto p16 = [&](size_t at, uint32_t v) { bigEndian ? Put16BE(b, at, v) : Put16LE(b, at, v); };
  auto p64 = [&](size_t at, uint64_t v) {
    if (b.size() < at + 8) b.resize(at + 8, 0);
    for (int i = 0; i < 8; ++i) b[at + (bigEndian ? 7 - i : i)] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = b[1] = bigEndian ? 'M' : 'I';
  p16(2, 43);
  p16(4, 8);
  p64(8, 16);
  p64(16, entries.size());
  size_t e = 24;
  for (const TTiffEntry& entry : entries) {
    p16(e, entry.Tag);
    p16(e + 2, entry.Type);
    p64(e + 4, entry.Count);
    p64(e + 12, 0);
    if (entry.Type == 3) p16(e + 12, entry.Value);
    else if (entry.Type == 4) { bigEndian ? Put32BE(b, e + 12, entry.Value) : Put32LE(b, e + 12, entry.Value); }
    else if (entry.Type == 1) b[e + 12] = static_cast<uint8_t>(entry.Value);
    e += 20;
  }
  p64(e, 0);
  return b;
}

// RIFF containers: WebP with its first chunk.
inline TBytes Riff(const char* form, const TBytes& chunks) {
  TBytes b = Text("RIFF");
  Put32LE(b, 4, static_cast<uint32_t>(chunks.size() + 4));
  Append(b, Text(form));
  Append(b, chunks);
  return b;
}
inline TBytes RiffChunk(const char* fourcc, const TBytes& payload) {
  TBytes b = Text(fourcc);
  Put32LE(b, 4, static_cast<uint32_t>(payload.size()));
  Append(b, payload);
  if (payload.size() % 2) b.push_back(0);
  return b;
}
inline TBytes WebPLossy(uint16_t w, uint16_t h, uint8_t scaleBits = 0) {
  TBytes p = {0x50, 0x01, 0x00, 0x9D, 0x01, 0x2A};
  Put16LE(p, 6, w | scaleBits << 14);
  Put16LE(p, 8, h | scaleBits << 14);
  Append(p, TBytes(8, 0));
  return Riff("WEBP", RiffChunk("VP8 ", p));
}
inline TBytes WebPLossless(uint32_t w, uint32_t h, bool alpha) {
  TBytes p = {0x2F};
  Put32LE(p, 1, (w - 1) | (h - 1) << 14 | (alpha ? 1u : 0u) << 28);
  Append(p, TBytes(4, 0));
  return Riff("WEBP", RiffChunk("VP8L", p));
}
inline TBytes WebPExtended(uint32_t w, uint32_t h, bool alpha) {
  TBytes p(4, 0);
  p[0] = alpha ? 0x10 : 0;
  for (uint32_t v : {w - 1, h - 1})
    Append(p, {static_cast<int>(v & 0xFF), static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v >> 16 & 0xFF)});
  TBytes chunks = RiffChunk("VP8X", p);
  Append(chunks, RiffChunk("VP8L", {0x2F, 0, 0, 0, 0}));
  return Riff("WEBP", chunks);
}

// ISO boxes: a box, a full box (version and flags first), and an AVIF or
// HEIF file whose primary item `item` has the given property boxes.
inline TBytes Box(const char* type, const TBytes& payload) {
  TBytes b;
  Put32BE(b, 0, static_cast<uint32_t>(payload.size() + 8));
  Append(b, Text(type));
  Append(b, payload);
  return b;
}
inline TBytes FullBox(const char* type, uint8_t version, uint32_t flags, const TBytes& payload) {
  TBytes p = {version};
  Append(p, {static_cast<int>(flags >> 16 & 0xFF), static_cast<int>(flags >> 8 & 0xFF), static_cast<int>(flags & 0xFF)});
  Append(p, payload);
  return Box(type, p);
}
inline TBytes Be32(uint32_t v) {
  TBytes b;
  Put32BE(b, 0, v);
  return b;
}
inline TBytes Ispe(uint32_t w, uint32_t h) {
  TBytes p = Be32(w);
  Append(p, Be32(h));
  return FullBox("ispe", 0, 0, p);
}
inline TBytes Irot(uint8_t angle) { return Box("irot", {angle}); }
// A clean aperture of w x h whole pixels, its centre offset by
// horizontal / divisor and vertical / divisor from the picture's.
inline TBytes Clap(uint32_t w, uint32_t h, int32_t horizontal = 0, int32_t vertical = 0, uint32_t divisor = 1) {
  TBytes p;
  for (uint32_t v : {w, 1u, h, 1u, static_cast<uint32_t>(horizontal), divisor, static_cast<uint32_t>(vertical), divisor})
    Append(p, Be32(v));
  return Box("clap", p);
}
inline TBytes Pixi(std::initializer_list<int> bits) {
  TBytes p = {static_cast<uint8_t>(bits.size())};
  Append(p, bits);
  return FullBox("pixi", 0, 0, p);
}
// properties: the ipco boxes; associations: ipco indices (1-based) of item.
inline TBytes HeifFile(const char* brand, const std::vector<TBytes>& properties, std::initializer_list<int> associations,
                       uint16_t primary = 1, uint16_t item = 1) {
  TBytes ftyp = Text(brand);
  Append(ftyp, {0, 0, 0, 0});
  Append(ftyp, Text("mif1"));
  Append(ftyp, Text(brand));
  TBytes ipco;
  for (const TBytes& p : properties) Append(ipco, p);
  TBytes ipma = Be32(1);
  Append(ipma, {item >> 8, item & 0xFF, static_cast<int>(associations.size())});
  for (int a : associations) ipma.push_back(static_cast<uint8_t>(a));
  TBytes iprp = Box("ipco", ipco);
  Append(iprp, FullBox("ipma", 0, 0, ipma));
  TBytes meta = FullBox("hdlr", 0, 0, Text("\0\0\0\0pict\0\0\0\0\0\0\0\0\0\0\0\0\0"));
  TBytes pitm;
  Put16BE(pitm, 0, primary);
  Append(meta, FullBox("pitm", 0, 0, pitm));
  Append(meta, Box("iprp", iprp));
  TBytes b = Box("ftyp", ftyp);
  Append(b, FullBox("meta", 0, 0, meta));
  Append(b, Box("mdat", TBytes(16, 0x42)));
  return b;
}

// JPEG XL: bits written least significant first.
class TBitWriter {
 public:
  TBitWriter& Put(uint32_t value, int count) {
    for (int i = 0; i < count; ++i, ++bit_) {
      if (bit_ % 8 == 0) bytes_.push_back(0);
      bytes_.back() |= static_cast<uint8_t>((value >> i & 1) << (bit_ % 8));
    }
    return *this;
  }
  const TBytes& Bytes() const { return bytes_; }

 private:
  TBytes bytes_;
  size_t bit_ = 0;
};
// One side in the selector form: selector s, then 9, 13, 18 or 30 bits of side - 1.
inline void JxlSide(TBitWriter& w, int selector, uint32_t side) {
  static const int kBits[4] = {9, 13, 18, 30};
  w.Put(selector, 2).Put(side - 1, kBits[selector]);
}
// A codestream: signature, size header (small: multiples of 8), ratio, then
// the metadata's all_default = 0, extra_fields = 1 and orientation - 1.
inline TBytes JxlCodestream(uint32_t w, uint32_t h, uint32_t ratio = 0, int selector = 1, uint32_t orientation = 1,
                            bool small = false) {
  TBitWriter b;
  b.Put(0xFF, 8).Put(0x0A, 8).Put(small, 1);
  if (small) b.Put(h / 8 - 1, 5); else JxlSide(b, selector, h);
  b.Put(ratio, 3);
  if (ratio == 0) { if (small) b.Put(w / 8 - 1, 5); else JxlSide(b, selector, w); }
  b.Put(0, 1).Put(1, 1).Put(orientation - 1, 3).Put(0, 16);
  return b.Bytes();
}
inline TBytes JxlContainer(const TBytes& codestream, bool split) {
  TBytes b = {0, 0, 0, 0x0C, 'J', 'X', 'L', ' ', 0x0D, 0x0A, 0x87, 0x0A};
  Append(b, Box("ftyp", Text("jxl \0\0\0\0jxl ")));
  if (!split) {
    Append(b, Box("jxlc", codestream));
    return b;
  }
  // Split after three bytes: the size header continues in the next box.
  TBytes first = Be32(0), second = Be32(0x80000001);
  first.insert(first.end(), codestream.begin(), codestream.begin() + 3);
  second.insert(second.end(), codestream.begin() + 3, codestream.end());
  Append(b, Box("jxlp", first));
  Append(b, Box("Exif", TBytes(10, 0)));
  Append(b, Box("jxlp", second));
  return b;
}

// Icons: one directory entry per (width, height, bit count), each with 40
// bytes of data behind the directory.
struct TIconEntry {
  uint8_t Width, Height;
  uint16_t Bits;
};
inline TBytes IconFile(const std::vector<TIconEntry>& entries, bool cursor = false) {
  TBytes b = {0, 0, 1, 0};
  b[2] = cursor ? 2 : 1;
  Put16LE(b, 4, static_cast<uint32_t>(entries.size()));
  const size_t data = 6 + 16 * entries.size();
  for (size_t i = 0; i < entries.size(); ++i) {
    const size_t e = 6 + 16 * i;
    b.resize(e + 16, 0);
    b[e] = entries[i].Width;
    b[e + 1] = entries[i].Height;
    Put16LE(b, e + 4, cursor ? 3 : 1);
    Put16LE(b, e + 6, entries[i].Bits);
    Put32LE(b, e + 8, 40);
    Put32LE(b, e + 12, static_cast<uint32_t>(data + 40 * i));
  }
  b.resize(data + 40 * entries.size(), 0x11);
  return b;
}

}  // namespace img
