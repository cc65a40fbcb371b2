// The readers of the newer formats and the fixes of the older ones, on
// files built in code. Files made by real encoders are checked by
// tests/encoders/run.sh.
#include <gtest/gtest.h>

#include <string>

#include "imageinfo/DCImageInfo.h"
#include "tests/ImageBuilders.h"

using namespace img;

namespace {

struct TSeen {
  int Type, Width, Height, Depth;
  bool operator==(const TSeen& o) const {
    return Type == o.Type && Width == o.Width && Height == o.Height && Depth == o.Depth;
  }
};
std::ostream& operator<<(std::ostream& os, const TSeen& r) {
  return os << "{type " << r.Type << ", " << r.Width << "x" << r.Height << ", depth " << r.Depth << "}";
}

TDCImageInfo Probed(const TBytes& b) {
  TDCImageInfo info;
  info.ReadInfoFrom(std::make_unique<TMemorySource>(b.data(), b.size()));
  return info;
}
TSeen Seen(const TBytes& b) {
  const TDCImageInfo info = Probed(b);
  return {info.ImageType, info.Width, info.Height, info.Depth};
}
const TSeen kNone = {itNone, 0, 0, 0};

struct TCase {
  const char* Name;
  TBytes File;
  TSeen Expected;
};
void Check(const std::vector<TCase>& cases) {
  for (const TCase& c : cases) EXPECT_EQ(Seen(c.File), c.Expected) << c.Name;
}

// A copy with the 32-bit big-endian value at `at` replaced.
TBytes With32BE(TBytes b, size_t at, uint32_t v) {
  Put32BE(b, at, v);
  return b;
}
size_t Find(const TBytes& b, const char* fourcc) {
  return std::string(b.begin(), b.end()).find(fourcc) - 4;  // the box's start
}

TBytes SvgText(const std::string& s) { return Text(s); }

}  // namespace

TEST(ReadWebP, EachFirstChunkGivesItsSize) {
  TBytes beyond = WebPLossy(300, 450);
  Put32LE(beyond, 16, 4000);  // the chunk reaches past the RIFF
  TBytes badStart = WebPLossy(300, 450);
  badStart[23] = 0;
  Check({
      {"lossy portrait", WebPLossy(300, 450), {itWebP, 300, 450, 24}},
      {"lossy, scale bits set", WebPLossy(640, 360, 3), {itWebP, 640, 360, 24}},
      {"lossless with alpha", WebPLossless(16383, 1, true), {itWebP, 16383, 1, 32}},
      {"lossless without alpha", WebPLossless(1, 16384, false), {itWebP, 1, 16384, 24}},
      {"extended canvas", WebPExtended(16777216, 3, true), {itWebP, 16777216, 3, 32}},
      {"chunk past the RIFF", beyond, kNone},
      {"no start code", badStart, kNone},
  });
}

TEST(ReadHEIF, PrimaryItemPropertiesInAssociationOrder) {
  TBytes size0 = HeifFile("avif", {Ispe(640, 480)}, {1});
  Put32BE(size0, Find(size0, "mdat"), 0);  // the last box runs to the end
  TBytes size1 = HeifFile("avif", {Ispe(640, 480)}, {1});
  const size_t mdat = Find(size1, "mdat");
  size1.resize(mdat);
  Append(size1, {0, 0, 0, 1, 'm', 'd', 'a', 't', 0, 0, 0, 0, 0, 0, 0, 20, 1, 2, 3, 4});
  std::vector<TBytes> many(69, Pixi({8}));
  many.push_back(Ispe(640, 480));
  Check({
      {"ispe", HeifFile("avif", {Ispe(640, 480)}, {1}), {itAVIF, 640, 480, 24}},
      {"the 70th property", HeifFile("avif", many, {70, 3}), {itAVIF, 640, 480, 8}},
      {"irot 1 turns", HeifFile("avif", {Ispe(640, 480), Irot(1)}, {1, 2}), {itAVIF, 480, 640, 24}},
      {"irot 2 does not", HeifFile("avif", {Ispe(640, 480), Irot(2)}, {1, 2}), {itAVIF, 640, 480, 24}},
      // Browsers crop only to an aperture at the top left, inside the picture.
      {"clap at the top left", HeifFile("avif", {Ispe(640, 480), Clap(320, 240, -160, -120)}, {1, 2}),
       {itAVIF, 320, 240, 24}},
      {"clap at the top left, by halves", HeifFile("avif", {Ispe(640, 480), Clap(319, 240, -321, -240, 2)}, {1, 2}),
       {itAVIF, 319, 240, 24}},
      {"clap, then irot", HeifFile("avif", {Clap(320, 240, -160, -120), Ispe(640, 480), Irot(3)}, {2, 1, 3}),
       {itAVIF, 240, 320, 24}},
      {"clap centred", HeifFile("avif", {Ispe(640, 480), Clap(320, 240)}, {1, 2}), {itAVIF, 640, 480, 24}},
      {"clap one pixel off", HeifFile("avif", {Ispe(640, 480), Clap(320, 240, -159, -120)}, {1, 2}),
       {itAVIF, 640, 480, 24}},
      {"clap larger than the picture", HeifFile("avif", {Ispe(100, 50), Clap(400, 300, 150, 125)}, {1, 2}),
       {itAVIF, 100, 50, 24}},
      {"pixi depth", HeifFile("avif", {Ispe(8, 8), Pixi({10, 10, 10})}, {1, 2}), {itAVIF, 8, 8, 30}},
      // An iPhone picture: a grid item whose ispe is the whole picture.
      {"heic grid", HeifFile("heic", {Ispe(4032, 3024), Irot(3)}, {1, 2}, 49, 49), {itHEIF, 3024, 4032, 24}},
      {"pitm names a missing item", HeifFile("heic", {Ispe(8, 8)}, {1}, 2, 1), kNone},
      {"no ispe", HeifFile("avif", {Irot(1)}, {1}), kNone},
      {"box past its parent", With32BE(HeifFile("avif", {Ispe(8, 8)}, {1}), Find(HeifFile("avif", {Ispe(8, 8)}, {1}), "ispe"), 999), kNone},
      {"box of size 0", size0, {itAVIF, 640, 480, 24}},
      {"box of size 1", size1, {itAVIF, 640, 480, 24}},
  });
  // A video's ftyp is no image.
  TBytes video = HeifFile("isom", {Ispe(8, 8)}, {1});
  std::copy_n("isomisomiso2", 12, video.begin() + 8);
  EXPECT_EQ(Probed(video).Failure, pfUnrecognised);
}

TEST(ReadJXL, EverySizeFormAndRatio) {
  for (int selector = 0; selector < 4; ++selector) {
    const uint32_t side = selector == 0 ? 512 : selector == 1 ? 8192 : selector == 2 ? 262144 : 1u << 30;
    EXPECT_EQ(Seen(JxlCodestream(side - 1, side, 0, selector)), (TSeen{itJXL, static_cast<int>(side - 1), static_cast<int>(side), 24}))
        << "selector " << selector;
  }
  EXPECT_EQ(Seen(JxlCodestream(256, 64, 0, 0, 1, true)), (TSeen{itJXL, 256, 64, 24}));
  // Ratios 1 to 7 of a height of 900: 1:1, 12:10, 4:3, 3:2, 16:9, 5:4, 2:1.
  const int widths[] = {900, 1080, 1200, 1350, 1600, 1125, 1800};
  for (uint32_t ratio = 1; ratio <= 7; ++ratio)
    EXPECT_EQ(Seen(JxlCodestream(0, 900, ratio)), (TSeen{itJXL, widths[ratio - 1], 900, 24})) << "ratio " << ratio;
  EXPECT_EQ(Seen(JxlCodestream(0, 64, 1, 0, 1, true)), (TSeen{itJXL, 64, 64, 24}));
  // Orientations 5 to 8 turn the picture; in the container too, also when
  // the codestream is split over jxlp boxes.
  EXPECT_EQ(Seen(JxlCodestream(640, 480, 0, 1, 6)), (TSeen{itJXL, 480, 640, 24}));
  EXPECT_EQ(Seen(JxlCodestream(640, 480, 0, 1, 4)), (TSeen{itJXL, 640, 480, 24}));
  EXPECT_EQ(Seen(JxlContainer(JxlCodestream(640, 480, 0, 1, 8), false)), (TSeen{itJXL, 480, 640, 24}));
  EXPECT_EQ(Seen(JxlContainer(JxlCodestream(640, 480), true)), (TSeen{itJXL, 640, 480, 24}));
  TBytes cut = JxlCodestream(640, 480);
  cut.resize(4);
  EXPECT_EQ(Probed(cut).Failure, pfTruncated);
}

TEST(ReadICO, LargestEntryWins) {
  TBytes reserved = IconFile({{16, 16, 32}}), planes = reserved, outside = reserved;
  reserved[9] = 1;
  Put16LE(planes, 10, 2);
  Put32LE(outside, 14, 4000);  // data length past the end
  Check({
      {"largest", IconFile({{16, 16, 32}, {48, 48, 8}, {32, 32, 32}}), {itICO, 48, 48, 8}},
      {"0 is 256", IconFile({{16, 16, 32}, {0, 0, 32}}), {itICO, 256, 256, 32}},
      {"tie: more bits", IconFile({{32, 32, 8}, {32, 32, 24}, {32, 32, 4}}), {itICO, 32, 32, 24}},
      {"no bit count", IconFile({{24, 24, 0}}), {itICO, 24, 24, 32}},
      {"cursor", IconFile({{32, 32, 0}}, true), {itICO, 32, 32, 32}},
      {"reserved byte set", reserved, kNone},
      {"three colour planes", planes, kNone},
      {"data outside the file", outside, kNone},
  });
}

TEST(ReadSVG, SizesAsTheBrowserShowsThem) {
  Check({
      // A viewBox alone: its ratio, as large as fits inside 300 x 150.
      {"viewBox only, wide", SvgText("<svg viewBox='0 0 400 100'/>"), {itSVG, 300, 75, 32}},
      {"viewBox only, square", SvgText("<svg viewBox='0 0 100 100'/>"), {itSVG, 150, 150, 32}},
      {"viewBox only, tall", SvgText("<svg viewBox='0 0 100 400'/>"), {itSVG, 38, 150, 32}},
      {"width and viewBox", SvgText("<svg width='200' viewBox='0,0,100,50'></svg>"), {itSVG, 200, 100, 32}},
      {"height and viewBox", SvgText("<svg height=\"50\" viewBox=\"0 0 100 50\">"), {itSVG, 100, 50, 32}},
      {"points", SvgText("<svg width='72pt' height='36pt'>"), {itSVG, 96, 48, 32}},
      {"inches and cm", SvgText("<svg width='1in' height='2cm'>"), {itSVG, 96, 76, 32}},
      {"em", SvgText("<svg width='10em' height='5EM'>"), {itSVG, 160, 80, 32}},
      {"mm, pc, Q, px", SvgText("<svg width='25.4mm' height='1pc'>"), {itSVG, 96, 16, 32}},
      {"Q and px", SvgText("<svg width='101.6Q' height='7.5px'>"), {itSVG, 96, 8, 32}},
      {"percentages", SvgText("<svg width='100%' height='100%' viewBox='0 0 50 25'>"), {itSVG, 300, 150, 32}},
      {"spaces and fraction", SvgText("<svg width=' 150 ' height='75.6'>"), {itSVG, 150, 76, 32}},
      {"unknown unit", SvgText("<svg width='3vw' height='40'>"), {itSVG, 300, 40, 32}},
      {"nothing", SvgText("<svg xmlns='http://www.w3.org/2000/svg'>"), {itSVG, 300, 150, 32}},
      {"prolog", SvgText("\xEF\xBB\xBF<?xml version='1.0'?>\n<!-- a > comment -->\n"
                         "<!DOCTYPE svg PUBLIC '-//W3C//DTD SVG 1.1//EN' [ <!ENTITY a '>'> ]>\n"
                         "<?pi x?><svg\nwidth='20'\theight='10'>"),
       {itSVG, 20, 10, 32}},
      {"another element first", SvgText("<html><svg width='20' height='10'>"), kNone},
      {"no number", SvgText("<svg width='px' height='10'>"), {itSVG, 300, 10, 32}},
  });
  std::string late(64 * 1024, ' ');
  EXPECT_EQ(Seen(SvgText(late + "<svg width='20' height='10'>")), kNone);
  EXPECT_EQ(Seen(SvgText(late.substr(0, late.size() - 10) + "<svg width='20' height='10'>")), (TSeen{itSVG, 20, 10, 32}));
  const TBytes gzip = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 3, 1, 2, 3, 4};
  EXPECT_EQ(Probed(gzip).Failure, pfUnsupported);
  EXPECT_EQ(Probed(SvgText("<svg width='20' height=")).Failure, pfTruncated);
}

TEST(ReadGIF, FramePastTheScreenGrowsIt) {
  Check({
      {"frame past the corner", GifWithFrame(32, 32, 24, 24, 16, 16), {itGIF, 40, 40, 2}},
      {"frame inside", GifWithFrame(32, 32, 0, 0, 16, 16), {itGIF, 32, 32, 2}},
      {"frame wider only", GifWithFrame(10, 50, 5, 0, 10, 10), {itGIF, 15, 50, 2}},
  });
  // Ends before the first descriptor: the screen size.
  const TBytes frame = GifWithFrame(32, 32, 24, 24, 16, 16);
  for (size_t cut : {13, 20, 30, 40}) EXPECT_EQ(Seen(TBytes(frame.begin(), frame.begin() + cut)), (TSeen{itGIF, 32, 32, 2}));
}

TEST(ReadTIFF, SamplesOrientationAndBigTiff) {
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "MM" : "II");
    // RGB: three SHORT values behind the directory.
    TBytes rgb = TiffFile(bigEndian, {{256, 3, 64}, {257, 3, 48}, {258, 3, 50, 3}});
    rgb.resize(50);
    for (int i = 0; i < 3; ++i) bigEndian ? Put16BE(rgb, 50 + 2 * i, 8) : Put16LE(rgb, 50 + 2 * i, 8);
    EXPECT_EQ(Seen(rgb), (TSeen{itTIFF, 64, 48, 24}));
    // The values outside the file: count x 8. Two BYTE values fit the field.
    EXPECT_EQ(Seen(TiffFile(bigEndian, {{256, 3, 64}, {257, 3, 48}, {258, 3, 9999, 4}})), (TSeen{itTIFF, 64, 48, 32}));
    TBytes bytes = TiffFile(bigEndian, {{256, 3, 64}, {257, 3, 48}, {258, 1, 8, 2}});
    bytes[43] = 4;  // the second value of the third entry's field
    EXPECT_EQ(Seen(bytes), (TSeen{itTIFF, 64, 48, 12}));
    EXPECT_EQ(Seen(TiffFile(bigEndian, {{256, 3, 64}, {257, 3, 48}, {258, 3, 8}, {274, 3, 6}})), (TSeen{itTIFF, 48, 64, 8}));
    EXPECT_EQ(Seen(TiffFile(bigEndian, {{256, 4, 70000}, {257, 3, 48}})), (TSeen{itTIFF, 70000, 48, 1}));
    EXPECT_EQ(Seen(BigTiff(bigEndian, {{256, 4, 70000}, {257, 3, 300}, {258, 3, 16}})), (TSeen{itTIFF, 70000, 300, 16}));
    TBytes big = BigTiff(bigEndian, {{256, 3, 20}, {257, 3, 30}, {258, 1, 8, 3}});
    big[24 + 2 * 20 + 13] = big[24 + 2 * 20 + 14] = 8;
    EXPECT_EQ(Seen(big), (TSeen{itTIFF, 20, 30, 24}));
  }
}

TEST(ReadPNG, AppleCgbiChunkBeforeTheHeader) {
  TBytes png = PngHeader(128, 68, 8, 6);
  const TBytes cgbi = {0, 0, 0, 4, 'C', 'g', 'B', 'I', 0x50, 0, 0x20, 0x06, 0x2C, 0xB8, 0x77, 0x66};
  png.insert(png.begin() + 8, cgbi.begin(), cgbi.end());
  EXPECT_EQ(Seen(png), (TSeen{itPNG, 128, 68, 32}));
}

TEST(ProbeFailure, SaysWhyAFileGotNoSize) {
  TBytes png = PngHeader(10, 10, 8, 2);
  const struct {
    const char* Name;
    TBytes File;
    TProbeFailure Why;
  } cases[] = {
      {"text", Text("just some words"), pfUnrecognised},
      {"short", {1, 2}, pfUnrecognised},
      {"cut PNG", TBytes(png.begin(), png.begin() + 20), pfTruncated},
      {"PNG colour type 7", PngHeader(10, 10, 8, 7), pfDamaged},
      {"arithmetic JPEG", JpegImage(10, 10, 3, 0xC9), pfUnsupported},
      {"PNG", png, pfNone},
  };
  for (const auto& c : cases) EXPECT_EQ(Probed(c.File).Failure, c.Why) << c.Name;
}
