// AVIF and HEIF/HEIC: the primary item (pitm), its properties through the
// association box (ipma) in the property container (ipco): the size from
// ispe, then the transforms in the order ipma lists them (irot turns by a
// quarter, clap crops to the clean aperture where a browser does), and the
// depth from pixi.
#include "imageinfo/formats/Formats.h"

#include <utility>

#include "imageinfo/formats/IsoBox.h"

namespace formats {

namespace {

bool IsBrand(uint32_t brand, bool& avif) {
  static const uint32_t kAvif[] = {FourCC("avif"), FourCC("avis")};
  static const uint32_t kHeif[] = {FourCC("heic"), FourCC("heix"), FourCC("heim"), FourCC("heis"), FourCC("hevc"),
                                   FourCC("hevx"), FourCC("hevm"), FourCC("hevs"), FourCC("mif1"), FourCC("msf1"),
                                   FourCC("mif2")};
  for (uint32_t b : kAvif)
    if (brand == b) return avif = true;
  for (uint32_t b : kHeif)
    if (brand == b) return true;
  return false;
}

uint32_t Be32(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// The brands of the ftyp box at the start: an image brand among the major
// and the compatible ones; avif tells AVIF from the other HEIF kinds.
bool ImageBrands(const uint8_t* head, size_t n, bool& avif) {
  if (n < 16 || head[4] != 'f' || head[5] != 't' || head[6] != 'y' || head[7] != 'p') return false;
  const uint64_t size = Be32(head);
  const size_t end = size < n ? static_cast<size_t>(size) : n;
  bool image = false;
  avif = false;
  for (size_t at = 8; at + 4 <= end; at += at == 8 ? 8 : 4)  // the minor version follows the major brand
    image = IsBrand(Be32(head + at), avif) || image;
  return image;
}

// The primary item's property indices, 1-based, in ipma order: an item has
// at most 255 associations in one ipma box, and the reader keeps as many.
struct TAssociations {
  uint16_t Index[255];
  int Count = 0;
};

// The primary item's property indices from one ipma box. False, with a
// verdict, when an entry does not fit.
bool Associations(TBlockReader& in, const TBox& ipma, uint32_t item, TAssociations& out) {
  if (ipma.End - ipma.Payload < 8) return in.Fail(pfDamaged), false;
  const uint8_t version = U8(in, ipma.Payload);
  const bool wide = (U32BE(in, ipma.Payload) & 1) != 0;  // flags bit 0: 15-bit indices
  const uint32_t entries = U32BE(in, ipma.Payload + 4);
  uint64_t at = ipma.Payload + 8;
  for (uint32_t k = 0; k < entries && !in.Failed(); ++k) {
    const uint64_t idSize = version < 1 ? 2 : 4;
    if (ipma.End - at < idSize + 1) return in.Fail(pfDamaged), false;
    const uint32_t id = version < 1 ? U16BE(in, at) : U32BE(in, at);
    const uint8_t count = U8(in, at + idSize);
    at += idSize + 1;
    const uint64_t each = wide ? 2 : 1;
    if (ipma.End - at < each * count) return in.Fail(pfDamaged), false;
    for (uint8_t i = 0; i < count; ++i, at += each) {
      if (id != item || out.Count == 255) continue;
      out.Index[out.Count++] = static_cast<uint16_t>(wide ? U16BE(in, at) & 0x7FFF : U8(in, at) & 0x7F);
    }
  }
  return !in.Failed();
}

// The clean aperture of the clap box at p, when a browser applies it to a
// width x height picture: whole pixels, inside the picture, and its origin
// ((W - cw) / 2 + horizOff, likewise vertically) exactly at (0, 0). Any
// other aperture leaves the picture whole.
bool TopLeftAperture(TBlockReader& in, uint64_t p, uint64_t width, uint64_t height, int64_t (&crop)[2]) {
  const uint64_t sides[2] = {width, height};
  for (int axis = 0; axis < 2; ++axis) {
    const uint64_t at = p + 8 * axis, offsetAt = p + 16 + 8 * axis;
    const int64_t n = U32BE(in, at), d = U32BE(in, at + 4);
    const int64_t offN = static_cast<int32_t>(U32BE(in, offsetAt)), offD = U32BE(in, offsetAt + 4);
    if (d == 0 || offD == 0 || n % d != 0 || n / d <= 0 || static_cast<uint64_t>(n / d) > sides[axis]) return false;
    crop[axis] = n / d;
    // (W - cw) / 2 + offN / offD == 0, that is offN / offD == (cw - W) / 2.
    const int64_t difference = crop[axis] - static_cast<int64_t>(sides[axis]);
    if (difference == 0 ? offN != 0 : (2 * offN) % difference != 0 || (2 * offN) / difference != offD) return false;
  }
  return true;
}

}  // namespace

bool IsHEIF(const uint8_t* head, size_t n) {
  bool avif;
  return ImageBrands(head, n, avif);
}

void ReadHEIF(TDCImageInfo& info, TBlockReader& in) {
  const uint8_t* head = nullptr;
  const size_t n = in.View(0, 16, 64, head);
  bool avif = false;
  ImageBrands(head, n, avif);
  info.ImageType = avif ? itAVIF : itHEIF;

  const uint64_t size = in.Size();
  TBox meta, pitm, iprp, ipco;
  if (!FindBox(in, 0, size, true, FourCC("meta"), meta)) return (void)in.Fail(pfDamaged);
  const uint64_t children = meta.Payload + 4;  // a full box: version and flags first
  if (!FindBox(in, children, meta.End, false, FourCC("pitm"), pitm) ||
      !FindBox(in, children, meta.End, false, FourCC("iprp"), iprp) ||
      !FindBox(in, iprp.Payload, iprp.End, false, FourCC("ipco"), ipco))
    return (void)in.Fail(pfDamaged);
  const uint64_t itemSize = U8(in, pitm.Payload) == 0 ? 2 : 4;
  if (pitm.End - pitm.Payload < 4 + itemSize) return (void)in.Fail(pfDamaged);
  const uint32_t item = itemSize == 2 ? U16BE(in, pitm.Payload + 4) : U32BE(in, pitm.Payload + 4);

  TAssociations properties;
  for (uint64_t at = iprp.Payload; at < iprp.End;) {
    TBox box;
    if (!ReadBox(in, at, iprp.End, false, box)) return;
    if (box.Type == FourCC("ipma") && !Associations(in, box, item, properties)) return;
    at = box.End;
  }
  // The associated property boxes, found in one walk over ipco: box k
  // (1-based) is looked up only as far as the highest index asked for.
  TBox found[255];
  bool have[255] = {};
  uint8_t wanted[32768 / 8] = {};  // the indices asked for, as bits
  uint16_t highest = 0;
  for (int k = 0; k < properties.Count; ++k) {
    const uint16_t i = properties.Index[k];
    wanted[i / 8] = static_cast<uint8_t>(wanted[i / 8] | 1 << (i % 8));
    highest = i > highest ? i : highest;
  }
  uint16_t index = 0;
  for (uint64_t at = ipco.Payload; at < ipco.End && index < highest;) {
    TBox box;
    if (!ReadBox(in, at, ipco.End, false, box)) return;
    at = box.End;
    ++index;
    if (!(wanted[index / 8] & 1 << (index % 8))) continue;
    for (int k = 0; k < properties.Count; ++k)
      if (properties.Index[k] == index) found[k] = box, have[k] = true;
  }
  uint64_t width = 0, height = 0;
  bool sized = false;
  info.Depth = 24;
  for (int k = 0; k < properties.Count; ++k) {
    if (!have[k]) continue;  // index 0 is no property, and one past ipco's boxes is none either
    const TBox& box = found[k];
    auto needs = [&](uint64_t bytes) {
      if (box.End - box.Payload < bytes) in.Fail(pfDamaged);
      return !in.Failed();
    };
    if (box.Type == FourCC("ispe") && needs(12)) {
      width = U32BE(in, box.Payload + 4);
      height = U32BE(in, box.Payload + 8);
      sized = true;
    } else if (box.Type == FourCC("irot") && needs(1)) {
      if (U8(in, box.Payload) & 1) std::swap(width, height);  // a quarter or three quarters
    } else if (box.Type == FourCC("clap") && needs(32)) {
      int64_t crop[2];
      if (TopLeftAperture(in, box.Payload, width, height, crop)) width = crop[0], height = crop[1];
    } else if (box.Type == FourCC("pixi") && needs(5)) {
      const uint8_t channels = U8(in, box.Payload + 4);
      if (needs(5u + channels) && channels > 0) {
        int32_t bits = 0;
        for (uint8_t c = 0; c < channels; ++c) bits += U8(in, box.Payload + 5 + c);
        info.Depth = bits;
      }
    }
    if (in.Failed()) return;
  }
  if (!sized) return (void)in.Fail(pfDamaged);
  SetSize(info, in, width, height);
}

}  // namespace formats
