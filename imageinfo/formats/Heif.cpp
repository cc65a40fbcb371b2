// AVIF and HEIF/HEIC: the primary item (pitm), its properties through the
// association box (ipma) in the property container (ipco): the size from
// ispe, then the transforms in the order ipma lists them (irot turns by a
// quarter, clap crops to the clean aperture), and the depth from pixi.
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
  // The property boxes by their place in ipco, as far as the associations
  // reach: the first ones kept at hand, any further one found by a walk.
  constexpr int kKept = 64;
  TBox kept[kKept];
  int known = 0;
  for (uint64_t at = ipco.Payload; at < ipco.End && known < kKept;) {
    if (!ReadBox(in, at, ipco.End, false, kept[known])) return;
    at = kept[known++].End;
  }
  auto property = [&](uint16_t index, TBox& box) {
    if (index <= known) {
      box = kept[index - 1];
      return true;
    }
    if (known < kKept) return false;  // ipco has fewer boxes
    uint64_t at = kept[kKept - 1].End;
    for (int i = kKept; i < index; ++i, at = box.End)
      if (at >= ipco.End || !ReadBox(in, at, ipco.End, false, box)) return false;
    return true;
  };

  uint64_t width = 0, height = 0;
  bool sized = false;
  info.Depth = 24;
  for (int k = 0; k < properties.Count; ++k) {
    TBox box;
    if (properties.Index[k] == 0 || !property(properties.Index[k], box)) continue;  // 0 is no property
    if (in.Failed()) return;
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
    } else if (box.Type == FourCC("clap") && needs(16)) {
      const uint32_t wN = U32BE(in, box.Payload), wD = U32BE(in, box.Payload + 4);
      const uint32_t hN = U32BE(in, box.Payload + 8), hD = U32BE(in, box.Payload + 12);
      // Only a whole-pixel aperture counts, as decoders take it.
      if (wD != 0 && hD != 0 && wN % wD == 0 && hN % hD == 0 && wN / wD > 0 && hN / hD > 0) {
        width = wN / wD;
        height = hN / hD;
      }
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
