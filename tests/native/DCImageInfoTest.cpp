#include "imageinfo/DCImageInfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/ImageBuilders.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace img;

namespace {

struct TResult {
  int type, width, height, depth;
  bool operator==(const TResult& o) const {
    return type == o.type && width == o.width && height == o.height && depth == o.depth;
  }
  bool operator!=(const TResult& o) const { return !(*this == o); }
};

std::ostream& operator<<(std::ostream& os, const TResult& r) {
  return os << "{type " << r.type << ", " << r.width << "x" << r.height << ", depth " << r.depth << "}";
}

// Counts the reads that reach the source (the probe releases the source
// before it returns, so the count lives outside it).
class TCountingSource final : public TByteSource {
 public:
  TCountingSource(const TBytes& bytes, int& reads) : memory_(bytes.data(), bytes.size()), reads_(reads) {}
  uint64_t Size() const override { return memory_.Size(); }
  size_t ReadAt(uint64_t offset, void* buffer, size_t n) override {
    ++reads_;
    return memory_.ReadAt(offset, buffer, n);
  }

 private:
  TMemorySource memory_;
  int& reads_;
};

int ReadsToProbe(const TBytes& bytes, TResult* result = nullptr) {
  int reads = 0;
  TDCImageInfo info;
  info.ReadInfoFrom(std::make_unique<TCountingSource>(bytes, reads));
  if (result) *result = {info.ImageType, info.Width, info.Height, info.Depth};
  return reads;
}

TResult Probe(const TBytes& bytes, int32_t* fileSize = nullptr) {
  TDCImageInfo info;
  info.ReadInfoFrom(std::make_unique<TMemorySource>(bytes.data(), bytes.size()));
  if (fileSize) *fileSize = info.FileSize;
  EXPECT_EQ(info.Stream, nullptr);
  return {info.ImageType, info.Width, info.Height, info.Depth};
}

const TResult kNothing = {itNone, 0, 0, 0};

}  // namespace

TEST(ReadPNG, DepthFollowsColourTypeAndBitDepth) {
  struct {
    uint8_t colourType, bitDepth;
    int depth;
  } cases[] = {{0, 1, 1}, {0, 16, 16}, {2, 8, 24}, {2, 16, 48}, {3, 4, 8}, {3, 1, 8}, {4, 8, 16}, {6, 8, 32}, {6, 16, 64}};
  for (const auto& c : cases)
    EXPECT_EQ(Probe(PngHeader(640, 480, c.bitDepth, c.colourType)), (TResult{itPNG, 640, 480, c.depth}))
        << "colour type " << int(c.colourType) << ", bit depth " << int(c.bitDepth);
}

TEST(ReadPNG, UnsupportedColourTypeIsNotRecognised) {
  for (uint8_t colourType : {1, 5, 7, 255}) EXPECT_EQ(Probe(PngHeader(10, 10, 8, colourType)), kNothing);
}

TEST(ReadPNG, UnsupportedColourTypeFallsToTheJpegScan) {
  TBytes b = PngHeader(10, 10, 8, 1);
  Append(b, JpegImage(33, 44));
  EXPECT_EQ(Probe(b), (TResult{itJPEG, 33, 44, 24}));
}

TEST(ReadPNG, SidesAreTheFull32BitValues) {
  EXPECT_EQ(Probe(PngHeader(70000, 65537, 8, 2)), (TResult{itPNG, 70000, 65537, 24}));
  EXPECT_EQ(Probe(PngHeader(0x80000000u, 10, 8, 2)), kNothing);
}

TEST(ReadGIF, DepthIsLowThreeBitsOfPackedBytePlusOne) {
  EXPECT_EQ(Probe(GifHeader(320, 200, 0xF7)), (TResult{itGIF, 320, 200, 8}));
  EXPECT_EQ(Probe(GifHeader(1, 65535, 0x00)), (TResult{itGIF, 1, 65535, 1}));
}

TEST(ReadBMP, SidesAsBrowsersShowThem) {
  EXPECT_EQ(Probe(BmpHeader(200, -100, 24)), (TResult{itBMP, 200, 100, 24})) << "top-down";
  EXPECT_EQ(Probe(BmpHeader(70000, 100, 32)), (TResult{itBMP, 70000, 100, 32}));
  // A width of 0 or less, or a height with no absolute value, is damage.
  for (int32_t w : {0, -5}) EXPECT_EQ(Probe(BmpHeader(w, 10, 8)), kNothing);
  EXPECT_EQ(Probe(BmpHeader(10, INT32_MIN, 8)), kNothing);
  // The OS/2 core header: 16-bit sides at 18 and 20, the bit count at 24.
  TBytes os2 = BmpHeader(0, 0, 0);
  Put32LE(os2, 14, 12);
  Put16LE(os2, 18, 300);
  Put16LE(os2, 20, 200);
  Put16LE(os2, 22, 1);
  Put16LE(os2, 24, 8);
  EXPECT_EQ(Probe(os2), (TResult{itBMP, 300, 200, 8}));
}

TEST(ReadBMP, OnlyAHeaderThatBrowsersTakeIsABitmap) {
  // Header size, planes, bit count, compression: what a browser draws.
  struct {
    uint32_t size, planes, bits, compression;
    bool bitmap;
  } cases[] = {{40, 1, 24, 0, true},  {108, 1, 32, 3, true}, {124, 1, 1, 0, true},  {16, 1, 4, 0, true},
               {64, 1, 8, 1, true},   {46, 1, 2, 0, true},   {40, 1, 0, 4, true},   {40, 1, 0, 5, true},
               {41, 1, 24, 0, false}, {68, 1, 24, 0, false}, {40, 0, 24, 0, false}, {40, 2, 24, 0, false},
               {40, 1, 3, 0, false},  {40, 1, 0, 0, false},  {40, 1, 48, 0, false}};
  for (const auto& c : cases) {
    TBytes b = BmpHeader(20, 10, static_cast<uint16_t>(c.bits));
    Put32LE(b, 14, c.size);
    Put16LE(b, 26, c.planes);
    Put32LE(b, 30, c.compression);
    const TResult want = c.bitmap ? TResult{itBMP, 20, 10, static_cast<int32_t>(c.bits)} : kNothing;
    EXPECT_EQ(Probe(b), want) << c.size << " " << c.planes << " " << c.bits << " " << c.compression;
  }
  // Text that starts with "BM", and random bytes after it.
  TDCImageInfo info;
  const TBytes text = Text("BMI calculator notes: weight in kilograms over height squared, rounded to one place.");
  info.ReadInfoFrom(std::make_unique<TMemorySource>(text.data(), text.size()));
  EXPECT_EQ((std::pair<int, int>{info.ImageType, info.Failure}), (std::pair<int, int>{itNone, pfUnrecognised}));
}

TEST(ReadPCX, WindowGivesTheSize) {
  EXPECT_EQ(Probe(PcxHeader(0, 0, 639, 479, 8, 3)), (TResult{itPCX, 640, 480, 24}));
  EXPECT_EQ(Probe(PcxHeader(10, 20, 10, 20, 1, 4)), (TResult{itPCX, 1, 1, 4}));
}

TEST(ReadPCX, OnlyARealHeaderIsPcx) {
  EXPECT_EQ(Probe(Text("\nThis text starts with an empty line and goes on long enough to cover the header.")), kNothing);
  EXPECT_EQ(Probe(Text("\n<svg width='20' height='10'/>")), (TResult{itSVG, 20, 10, 32}));
  struct {
    size_t at;
    uint8_t value;
  } broken[] = {{1, 1}, {1, 6}, {2, 0}, {3, 3}, {3, 16}};
  for (const auto& b : broken) {
    TBytes pcx = PcxHeader(0, 0, 9, 9, 8, 1);
    pcx[b.at] = b.value;
    EXPECT_EQ(Probe(pcx), kNothing) << "byte " << b.at << " = " << int{b.value};
  }
  // A window that ends before it starts.
  EXPECT_EQ(Probe(PcxHeader(100, 0, 0, 65535, 8, 1)), kNothing);
  EXPECT_EQ(Probe(PcxHeader(0, 9, 9, 0, 8, 1)), kNothing);
}

TEST(ReadTIFF, BothByteOrdersGiveTheSameValues) {
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "MM" : "II");
    EXPECT_EQ(Probe(TiffImage(bigEndian, 1024, 768, 8)), (TResult{itTIFF, 1024, 768, 8}));
    // Width as a SHORT, height as a LONG, and the other way round.
    EXPECT_EQ(Probe(TiffFile(bigEndian, {{256, 3, 300}, {257, 4, 70000}, {258, 1, 16}})),
              (TResult{itTIFF, 300, 70000, 16}));
    EXPECT_EQ(Probe(TiffFile(bigEndian, {{256, 4, 70000}, {257, 3, 200}, {258, 3, 1}})),
              (TResult{itTIFF, 70000, 200, 1}));
  }
}

TEST(ReadTIFF, MissingBitsPerSampleIsOneAndUnusableValuesClear) {
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "MM" : "II");
    EXPECT_EQ(Probe(TiffFile(bigEndian, {{256, 3, 10}, {257, 3, 10}})), (TResult{itTIFF, 10, 10, 1}));
    EXPECT_EQ(Probe(TiffFile(bigEndian, {{256, 3, 10}, {257, 3, 10}, {258, 5, 8}})), kNothing);
    EXPECT_EQ(Probe(TiffFile(bigEndian, {{256, 4, 0x80000000u}, {257, 3, 10}, {258, 3, 8}})), kNothing);
  }
}

TEST(ReadTIFF, LaterEntryOfTheSameTagWins) {
  EXPECT_EQ(Probe(TiffFile(false, {{256, 3, 10}, {257, 3, 20}, {258, 3, 8}, {256, 3, 99}})),
            (TResult{itTIFF, 99, 20, 8}));
}

TEST(ReadTIFF, DirectoryBeyondTheFirstBlockIsReadInOneGo) {
  for (bool bigEndian : {false, true}) {
    TBytes b = TiffFile(bigEndian, {{256, 3, 640}, {257, 3, 480}, {258, 3, 8}}, 100000);
    TResult r;
    EXPECT_LE(ReadsToProbe(b, &r), 3);
    EXPECT_EQ(r, (TResult{itTIFF, 640, 480, 8}));
    // A directory of many entries that starts inside the first block.
    std::vector<TTiffEntry> many(3000, TTiffEntry{255, 3, 1});
    many.push_back({256, 3, 5});
    many.push_back({257, 3, 6});
    many.push_back({258, 3, 7});
    EXPECT_LE(ReadsToProbe(TiffFile(bigEndian, many, 19000), &r), 3);
    EXPECT_EQ(r, (TResult{itTIFF, 5, 6, 7}));
  }
}

TEST(ReadTIFF, ACraftedDirectoryCostsAFewReads) {
  // 2^20 entries, each with 1024 bits-per-sample values behind the
  // directory: they once cost two reads apiece.
  std::vector<TTiffEntry> entries((1u << 20) - 2, TTiffEntry{258, 3, 0, 1024});
  entries.insert(entries.begin(), {{256, 3, 7}, {257, 3, 9}});
  TBytes b = BigTiff(false, entries);
  const uint64_t values = b.size();
  for (size_t k = 2; k < entries.size(); ++k)
    for (int i = 0; i < 8; ++i) b[24 + 20 * k + 12 + i] = static_cast<uint8_t>(values >> (8 * i));
  b.resize(values + 2048, 1);
  TResult r;
  EXPECT_LE(ReadsToProbe(b, &r), 4);
  EXPECT_EQ(r, (TResult{itTIFF, 7, 9, 1024 + 256 * 1024}));
}

TEST(ReadTIFF, DirectoryOffsetsOutsideTheFileClearTheResult) {
  for (bool bigEndian : {false, true}) {
    TBytes b = TiffImage(bigEndian, 10, 10, 8);
    TBytes farAway = b;
    bigEndian ? Put32BE(farAway, 4, 0x80000000u) : Put32LE(farAway, 4, 0x80000000u);
    EXPECT_EQ(Probe(farAway), kNothing);
    bigEndian ? Put32BE(farAway, 4, 0xFFFFFFF0u) : Put32LE(farAway, 4, 0xFFFFFFF0u);
    EXPECT_EQ(Probe(farAway), kNothing);
    bigEndian ? Put32BE(farAway, 4, 5000) : Put32LE(farAway, 4, 5000);
    EXPECT_EQ(Probe(farAway), kNothing);
    // A directory that claims more entries than the file holds.
    TBytes cut(b.begin(), b.end() - 20);
    EXPECT_EQ(Probe(cut), kNothing);
  }
}

TEST(ScanJPEG, FirstFourFrameTypesGiveTheSize) {
  for (uint8_t frame : {0xC0, 0xC1, 0xC2, 0xC3})
    EXPECT_EQ(Probe(JpegImage(1920, 1080, 3, frame)), (TResult{itJPEG, 1920, 1080, 24})) << std::hex << int(frame);
  EXPECT_EQ(Probe(JpegImage(8, 9, 1)), (TResult{itJPEG, 8, 9, 8}));
  EXPECT_EQ(Probe(JpegImage(8, 9, 4)), (TResult{itJPEG, 8, 9, 32}));
}

TEST(ScanJPEG, LaterFrameTypesGiveNothing) {
  for (uint8_t frame : {0xC5, 0xC9, 0xCA, 0xCF}) EXPECT_EQ(Probe(JpegImage(100, 100, 3, frame)), kNothing);
}

TEST(ScanJPEG, SearchesForTheStartMarkerAnywhereInTheWindow) {
  TBytes b = Text("not an image at first ");
  Append(b, JpegImage(12, 34));
  EXPECT_EQ(Probe(b), (TResult{itJPEG, 12, 34, 24}));
}

TEST(ScanJPEG, StartMarkerIsSearchedBelowOffset20000) {
  TBytes frame = JpegFrame(0xC0, 50, 60, 3);
  for (size_t start : {size_t{19999}, size_t{20000}}) {
    TBytes b(start, 0x20);
    Append(b, {0xFF, 0xD8});
    Append(b, frame);
    Append(b, TBytes(100, 0));
    EXPECT_EQ(Probe(b).type, start < 20000 ? itJPEG : itNone) << start;
  }
}

TEST(ScanJPEG, WalkFollowsSegmentsWhereverTheyLead) {
  TBytes frame = JpegFrame(0xC0, 4032, 3024, 3);
  // The frame header at 20000 and far beyond, behind segments of every size
  // that cameras write before it.
  TBytes atWindow = JpegSoi();
  Append(atWindow, JpegSegment(0xE1, TBytes(20000 - 6, 0)));
  ASSERT_EQ(atWindow.size(), 20000u);
  TBytes icc = JpegSoi();
  Append(icc, Jfif());
  Append(icc, IccSegments(180000));  // three APP2 of 60 KB
  TBytes exif = JpegSoi();
  Append(exif, ExifSegment(false, 1, 50000));
  TBytes many = JpegSoi();
  for (int i = 0; i < 40; ++i) Append(many, JpegSegment(0xEB, TBytes(5000, 3)));
  for (TBytes* b : {&atWindow, &icc, &exif, &many}) {
    const size_t at = b->size();
    Append(*b, frame);
    Append(*b, TBytes(100, 0));
    EXPECT_EQ(Probe(*b), (TResult{itJPEG, 4032, 3024, 24})) << "frame header at " << at;
  }
}

TEST(ScanJPEG, MarkerSearchesShareABudgetOf20000Positions) {
  // Every byte that is no marker costs one position, and so does an FF
  // followed by FF.
  auto withFiller = [](size_t filler) {
    TBytes b = JpegSoi();
    Append(b, JpegSegment(0xE0, TBytes(16, 0)));
    Append(b, TBytes(filler, 0x20));
    Append(b, {0xFF, 0xFF});
    Append(b, JpegFrame(0xC0, 640, 480, 3));
    Append(b, TBytes(100, 0));
    return b;
  };
  EXPECT_EQ(Probe(withFiller(15000)).type, itJPEG);
  EXPECT_EQ(Probe(withFiller(20010)).type, itNone);
  // The searches of all segments draw on the same budget: 19 gaps of 1000
  // bytes pass, 21 do not.
  for (int gaps : {19, 21}) {
    TBytes b = JpegSoi();
    for (int i = 0; i < gaps; ++i) {
      Append(b, JpegSegment(0xEB, TBytes(10, 1)));
      Append(b, TBytes(1000, 0x20));
    }
    Append(b, JpegFrame(0xC0, 64, 48, 3));
    Append(b, TBytes(100, 0));
    EXPECT_EQ(Probe(b).type, gaps < 20 ? itJPEG : itNone) << gaps << " gaps";
  }
}

TEST(ScanJPEG, WalkThatLeavesTheFileFindsNothing) {
  TBytes b = JpegSoi();
  Append(b, ExifSegment(false, 6, 100));
  b[4] = 0xFF;  // the segment's length now leads far beyond the end
  Append(b, JpegFrame(0xC0, 64, 48, 3));
  Append(b, TBytes(100, 0));
  EXPECT_EQ(Probe(b), kNothing);
}

TEST(ScanJPEG, ExifOrientationTurnsTheSizeAsBrowsersShowIt) {
  for (bool bigEndian : {false, true}) {
    for (uint16_t orientation : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 300}) {
      TDCImageInfo info;
      const TBytes b = PhoneJpeg(4000, 3000, orientation, bigEndian);
      info.ReadInfoFrom(std::make_unique<TMemorySource>(b.data(), b.size()));
      const bool turned = orientation >= 5 && orientation <= 8;
      EXPECT_EQ(info.Orientation, orientation) << orientation << (bigEndian ? " MM" : " II");
      EXPECT_EQ(info.Width, turned ? 3000 : 4000) << orientation << (bigEndian ? " MM" : " II");
      EXPECT_EQ(info.Height, turned ? 4000 : 3000) << orientation << (bigEndian ? " MM" : " II");
    }
  }
}

namespace {

// The orientation the probe reads from a JPEG with these segments before its
// 400 x 300 frame, and the size it reports.
std::pair<int, TResult> Oriented(const std::vector<TBytes>& segments) {
  TBytes b = JpegSoi();
  for (const TBytes& s : segments) Append(b, s);
  Append(b, JpegFrame(0xC0, 400, 300, 3));
  Append(b, TBytes(100, 0));
  TDCImageInfo info;
  info.ReadInfoFrom(std::make_unique<TMemorySource>(b.data(), b.size()));
  return {info.Orientation, {info.ImageType, info.Width, info.Height, info.Depth}};
}

}  // namespace

TEST(ScanJPEG, OnlyTheFirstExifBlockCounts) {
  const TResult turned = {itJPEG, 300, 400, 24}, asStored = {itJPEG, 400, 300, 24};
  // XMP is an APP1 too, but not the Exif block.
  EXPECT_EQ(Oriented({XmpSegment(), ExifSegment(false, 6)}), std::make_pair(6, turned));
  EXPECT_EQ(Oriented({ExifSegment(true, 8), ExifSegment(false, 1)}), std::make_pair(8, turned));
  EXPECT_EQ(Oriented({ExifSegment(false, 1), ExifSegment(false, 6)}), std::make_pair(1, asStored));
  // An Exif block without an orientation is still the first one.
  EXPECT_EQ(Oriented({ExifSegment(false, {{0x010F, 2, 0}}), ExifSegment(false, 6)}), std::make_pair(0, asStored));
  // An APP1 whose data only begins like one is none.
  TBytes almost = ExifSegment(false, 6);
  almost[9] = 1;  // "Exif" 0 1
  EXPECT_EQ(Oriented({almost, ExifSegment(false, 5)}), std::make_pair(5, turned));
}

TEST(ScanJPEG, OrientationOnlyFromASingleShortOfTheFirstEntry) {
  const TResult asStored = {itJPEG, 400, 300, 24};
  for (bool bigEndian : {false, true}) {
    EXPECT_EQ(Oriented({ExifSegment(bigEndian, {{kOrientationTag, 4, 6}})}), std::make_pair(0, asStored));
    EXPECT_EQ(Oriented({ExifSegment(bigEndian, {{kOrientationTag, 3, 6, 2}})}), std::make_pair(0, asStored));
    // The first entry with the tag decides, even when a later one would do.
    EXPECT_EQ(Oriented({ExifSegment(bigEndian, {{kOrientationTag, 4, 6}, {kOrientationTag, 3, 6}})}),
              std::make_pair(0, asStored));
  }
}

TEST(ScanJPEG, OrientationIsReadOnlyInsideItsSegment) {
  const TResult asStored = {itJPEG, 400, 300, 24};
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "MM" : "II");
    // The directory offset points behind the segment, into the next one,
    // which holds a directory with orientation 6 there.
    TBytes exif = ExifSegment(bigEndian, {{0x010F, 2, 0}}), next = ExifSegment(bigEndian, 6);
    // From this block's TIFF header (at 10) to the next block's directory.
    const uint32_t beyond = static_cast<uint32_t>(exif.size() - 10 + 10 + 8);
    bigEndian ? Put32BE(exif, 14, beyond) : Put32LE(exif, 14, beyond);
    EXPECT_EQ(Oriented({exif, next}), std::make_pair(0, asStored));
    // The orientation entry cut by the segment's end.
    TBytes cut = ExifSegment(bigEndian, {{0x010F, 2, 0}, {kOrientationTag, 3, 6}});
    const size_t entryEnd = 4 + 6 + 8 + 2 + 2 * 12;  // behind the second entry
    cut.resize(entryEnd - 3);
    Put16BE(cut, 2, static_cast<uint32_t>(cut.size() - 2));
    EXPECT_EQ(Oriented({cut}), std::make_pair(0, asStored));
    // Cut behind the two bytes the orientation uses, it is still read.
    TBytes whole = ExifSegment(bigEndian, {{0x010F, 2, 0}, {kOrientationTag, 3, 6}});
    whole.resize(entryEnd - 2);
    Put16BE(whole, 2, static_cast<uint32_t>(whole.size() - 2));
    EXPECT_EQ(Oriented({whole}).first, 6);
  }
}

TEST(ScanJPEG, APhotoWithLargeBlocksCostsAHandfulOfSmallReads) {
  TResult r;
  const TBytes photo = PhoneJpeg(4032, 3024, 6, false, 60000, 240000);
  ASSERT_GT(photo.size(), 300000u);
  EXPECT_LE(ReadsToProbe(photo, &r), 8);
  EXPECT_EQ(r, (TResult{itJPEG, 3024, 4032, 24}));
}

TEST(ScanJPEG, ANonImageCostsTwoReads) {
  TBytes noise(100000);
  uint32_t x = 12345;
  for (uint8_t& v : noise) v = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 24);
  EXPECT_LE(ReadsToProbe(noise), 2);
  // A small file is read once.
  EXPECT_EQ(ReadsToProbe(PngHeader(10, 10, 8, 2)), 1);
  EXPECT_EQ(ReadsToProbe(TBytes(3000, 0x20)), 1);
}

TEST(ScanJPEG, ShortFilesGiveNothing) {
  EXPECT_EQ(Probe({0xFF, 0xD8, 0xFF, 0xC0}), kNothing);
  TBytes cut = JpegImage(10, 10);
  cut.resize(cut.size() - 50);  // the frame header is cut short
  EXPECT_EQ(Probe(TBytes(cut.begin(), cut.begin() + 95)), kNothing);
}

TEST(ScanJPEG, SegmentEndingInAMarkerLikePairDoesNotHideTheFrame) {
  // An EXIF block whose embedded thumbnail ends with FF D9: the walk goes on
  // at the next real marker instead of taking FF D9 for one.
  TBytes exif = Text("Exif");
  Append(exif, {0, 0});
  Append(exif, TBytes(40, 0x11));
  Append(exif, {0xFF, 0xD8, 0x00, 0x00, 0xFF, 0xD9});
  TBytes b = JpegSoi();
  Append(b, JpegSegment(0xE1, exif));
  Append(b, JpegSegment(0xDB, TBytes(65, 1)));
  Append(b, JpegFrame(0xC0, 4000, 3000, 3));
  Append(b, TBytes(64, 0));
  EXPECT_EQ(Probe(b), (TResult{itJPEG, 4000, 3000, 24}));
}

TEST(ScanJPEG, TooShortSegmentLengthsDoNotHoldTheWalk) {
  for (int length : {0, 1}) {
    TBytes b = JpegSoi();
    Append(b, {0xFF, 0xE0, 0x00, length});
    Append(b, JpegFrame(0xC0, 77, 88, 3));
    Append(b, TBytes(64, 0));
    EXPECT_EQ(Probe(b), (TResult{itJPEG, 77, 88, 24})) << length;
  }
  // Fill bytes before a marker are passed over.
  TBytes b = JpegSoi();
  Append(b, {0xFF, 0xFF, 0xFF});
  Append(b, JpegFrame(0xC1, 5, 6, 3));
  Append(b, TBytes(64, 0));
  EXPECT_EQ(Probe(b), (TResult{itJPEG, 5, 6, 24}));
}

TEST(ReadInfo, TruncatedHeadersAreClearedThenScannedAsJpeg) {
  const TBytes jpegStart = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x20, 0x03, 0, 0, 0, 0};
  // Each header cut one byte short of what its reader needs; the signature
  // alone followed by a JPEG start is too short for the reader as well,
  // except for GIF, whose header is shorter than any JPEG frame.
  struct {
    const char* name;
    TBytes head;
    size_t needed, signature;
  } cases[] = {
      {"png", PngHeader(10, 10, 8, 2), 26, 3},          {"gif", GifHeader(10, 10, 0), 11, 0},
      {"bmp", BmpHeader(10, 10, 8), 30, 2},             {"pcx", PcxHeader(0, 0, 9, 9, 8, 1), 66, 1},
      {"tiff-ii", TiffImage(false, 10, 10, 8), 48, 3}, {"tiff-mm", TiffImage(true, 10, 10, 8), 48, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(Probe(TBytes(c.head.begin(), c.head.begin() + c.needed)), kNothing);
    EXPECT_EQ(Probe(TBytes(c.head.begin(), c.head.begin() + c.needed - 1)), kNothing);
    if (c.signature == 0) continue;
    TBytes withJpeg(c.head.begin(), c.head.begin() + c.signature);
    Append(withJpeg, jpegStart);
    EXPECT_EQ(Probe(withJpeg), (TResult{itJPEG, 32, 16, 24}));
  }
}

TEST(ReadInfo, EmptyAndShortFilesKeepTheirRealLength) {
  for (size_t n : {0, 1, 2}) {
    int32_t size = -1;
    EXPECT_EQ(Probe(TBytes(n, 0x89), &size), kNothing);
    EXPECT_EQ(size, static_cast<int32_t>(n));
  }
  int32_t size = -1;
  EXPECT_EQ(Probe(Text("plain text with no marker at all"), &size), kNothing);
  EXPECT_EQ(size, 32);
}

TEST(ReadInfo, ResultNeverCarriesOverFromTheFileBefore) {
  TDCImageInfo info;
  TBytes png = PngHeader(10, 20, 8, 2), text = Text("hello, world");
  info.ReadInfoFrom(std::make_unique<TMemorySource>(png.data(), png.size()));
  EXPECT_EQ(info.Width, 10);
  info.ReadInfoFrom(std::make_unique<TMemorySource>(text.data(), text.size()));
  EXPECT_EQ((TResult{info.ImageType, info.Width, info.Height, info.Depth}), kNothing);
  EXPECT_EQ(info.FileSize, 12);
}

TEST(ReadInfo, FilesOf2GiBOrMoreReportTheLargestSize) {
  // A source that claims 3 GiB and holds a PNG header at its start.
  class THugeSource final : public TByteSource {
   public:
    uint64_t Size() const override { return 3ull << 30; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t n) override {
      TBytes head = PngHeader(800, 600, 8, 6);
      uint8_t* out = static_cast<uint8_t*>(buffer);
      for (size_t i = 0; i < n; ++i) out[i] = offset + i < head.size() ? head[offset + i] : 0;
      return n;
    }
  };
  TDCImageInfo info;
  info.ReadInfoFrom(std::make_unique<THugeSource>());
  EXPECT_EQ(info.FileSize, 2147483647);
  EXPECT_EQ((TResult{info.ImageType, info.Width, info.Height, info.Depth}), (TResult{itPNG, 800, 600, 32}));
}


// The same probe through the platform's file source.
class ReadInfoFile : public ::testing::Test {
 protected:
  std::string Folder() {
#if defined(_WIN32)
    char buffer[MAX_PATH];
    GetTempPathA(sizeof buffer, buffer);
    return buffer;
#else
    return "/tmp/";
#endif
  }
  std::string Write(const std::string& name, const TBytes& bytes) {
    std::string path = Folder() + "galvora-probe-test-" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    made_.push_back(path);
    return path;
  }
  void TearDown() override {
    for (const std::string& p : made_) std::remove(p.c_str());
  }
  std::vector<std::string> made_;
};

TEST_F(ReadInfoFile, ReadsARealFile) {
  TDCImageInfo info;
  info.ReadInfo(Write("a.jpg", JpegImage(640, 480)));
  EXPECT_EQ((TResult{info.ImageType, info.Width, info.Height, info.Depth}), (TResult{itJPEG, 640, 480, 24}));
  EXPECT_EQ(info.FileSize, static_cast<int32_t>(JpegImage(640, 480).size()));
  EXPECT_EQ(info.Stream, nullptr);
}

TEST_F(ReadInfoFile, EmptyFileHasSizeZero) {
  TDCImageInfo info;
  info.FileSize = 99;
  info.ReadInfo(Write("empty", {}));
  EXPECT_EQ(info.ImageType, itNone);
  EXPECT_EQ(info.FileSize, 0);
}

TEST_F(ReadInfoFile, MissingFileAndFolderAreClearedWithSizeZero) {
  TDCImageInfo info;
  info.ReadInfo(Write("png", PngHeader(1, 2, 8, 0)));
  ASSERT_EQ(info.ImageType, itPNG);
  info.ReadInfo(Folder() + "galvora-probe-test-does-not-exist.png");
  EXPECT_EQ((TResult{info.ImageType, info.Width, info.Height, info.Depth}), kNothing);
  EXPECT_EQ(info.FileSize, 0);
  info.ReadInfo(Folder());
  EXPECT_EQ((TResult{info.ImageType, info.Width, info.Height, info.Depth}), kNothing);
  EXPECT_EQ(info.FileSize, 0);
}

#if defined(_WIN32)
TEST_F(ReadInfoFile, FileHeldOpenByAnotherOpenerIsReadUnlessItSharesNothing) {
  const std::string path = Write("held.gif", GifHeader(5, 5, 0));
  const struct {
    DWORD Access, Share;
    bool Read;
  } holders[] = {{GENERIC_READ, 0, false},
                 {GENERIC_READ | GENERIC_WRITE, 0, false},
                 {GENERIC_READ, FILE_SHARE_READ, true},
                 {GENERIC_WRITE, FILE_SHARE_READ, true},
                 {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true}};
  for (const auto& h : holders) {
    HANDLE held = CreateFileA(path.c_str(), h.Access, h.Share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TDCImageInfo info;
    info.ReadInfo(path);
    EXPECT_EQ(info.ImageType, h.Read ? itGIF : itNone) << "access " << h.Access << ", share " << h.Share;
    // The probe lets the holder go on: an editor can still save the file.
    if (h.Access & GENERIC_WRITE) {
      DWORD written = 0;
      EXPECT_TRUE(::WriteFile(held, "GIF", 3, &written, nullptr));
    }
    CloseHandle(held);
  }
}
#endif
