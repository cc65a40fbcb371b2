// The portable parts of the thumbnail step: which pictures need copies and
// at what size, the Exif thumbnail cut out of a camera's JPEG, the cache's
// names, the worker's lines, and pixels turned as shown.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "imageinfo/DCImageInfo.h"
#include "imageinfo/ExifThumbnail.h"
#include "tests/ImageBuilders.h"
#include "thumbnails/CacheName.h"
#include "thumbnails/DataUri.h"
#include "thumbnails/PictureIndex.h"
#include "thumbnails/Placeholder.h"
#include "thumbnails/Rules.h"
#include "thumbnails/WorkerProtocol.h"
#include "worker/Orientation.h"

using namespace img;

TEST(ThumbnailRules, CopiesWhereTheyGainSomething) {
  // Box 120 x 100: the doubled box has 48,000 pixels, four times that 192,000.
  const struct {
    bool Thumbnails;
    uint8_t Type;
    int32_t Width, Height;
    TCopyNeed Need;
    int32_t CopyWidth, CopyHeight;
  } cases[] = {
      {true, itJPEG, 4000, 3000, cnThumbnail, 240, 180}, {true, itJPEG, 480, 400, cnNone, 0, 0},
      {true, itJPEG, 481, 400, cnThumbnail, 240, 199},  {true, itSVG, 4000, 3000, cnNone, 0, 0},
      {true, itHEIF, 100, 50, cnThumbnail, 100, 50},     {true, itNone, 0, 0, cnThumbnail, 240, 200},
      {false, itJPEG, 4000, 3000, cnNone, 0, 0},         {false, itTIFF, 4000, 3000, cnPreview, 2048, 1536},
      {false, itPCX, 640, 480, cnPreview, 640, 480},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Type) + " " + std::to_string(c.Width) + "x" + std::to_string(c.Height));
    const TCopyNeed need = CopyNeed(c.Thumbnails, c.Type, c.Width, c.Height, 120, 100);
    EXPECT_EQ(need, c.Need);
    if (need == cnNone) continue;
    const TThumbSize size = CopySize(need, c.Width, c.Height, 120, 100);
    EXPECT_EQ((std::vector<int32_t>{size.Width, size.Height}), (std::vector<int32_t>{c.CopyWidth, c.CopyHeight}));
  }
  // A stored thumbnail serves when it covers the box at 1x and has the
  // picture's proportions within 1%, turned as the picture is shown.
  EXPECT_TRUE(StoredThumbnailServes(160, 120, 0, 4000, 3000, 120, 100));
  EXPECT_TRUE(StoredThumbnailServes(160, 120, 6, 3000, 4000, 120, 100));
  EXPECT_FALSE(StoredThumbnailServes(160, 120, 0, 3000, 4000, 120, 100)) << "another aspect";
  EXPECT_FALSE(StoredThumbnailServes(160, 106, 0, 4000, 3000, 120, 100)) << "1.5 against 1.33";
  EXPECT_FALSE(StoredThumbnailServes(160, 120, 0, 4000, 3000, 200, 150)) << "smaller than the box";
}

// The thumbnail of a JPEG in memory, found where the probe saw its Exif block.
bool FindIn(const TBytes& jpeg, TExifThumbnail& found) {
  TDCImageInfo probe;
  probe.KeepStream = true;
  probe.ReadInfoFrom(std::make_unique<TMemorySource>(jpeg.data(), jpeg.size()));
  return FindExifThumbnail(probe, found);
}

TEST(ExifThumbnail, CutOutAsItIsAndTurnedAsThePictureIs) {
  // A JPEG with an Exif block whose IFD1 holds a 160 x 120 JPEG.
  const TBytes thumbnail = JpegImage(160, 120);
  const TBytes photo = CameraJpeg(thumbnail);
  TMemorySource source(photo.data(), photo.size());
  TExifThumbnail found;
  ASSERT_TRUE(FindIn(photo, found));
  EXPECT_EQ((std::vector<int64_t>{found.Width, found.Height, found.Length}),
            (std::vector<int64_t>{160, 120, static_cast<int64_t>(thumbnail.size())}));
  std::string raw;
  ASSERT_TRUE(ReadExifThumbnail(source, found, raw));
  EXPECT_EQ(raw, std::string(thumbnail.begin(), thumbnail.end())) << "its bytes as they are";
  // Turned: the copy says orientation 6, and shows 120 x 160.
  const std::string turned = TurnedThumbnail(raw, 6);
  TDCImageInfo copy;
  copy.ReadInfoFrom(std::make_unique<TMemorySource>(turned.data(), turned.size()));
  EXPECT_EQ((std::vector<int32_t>{copy.Width, copy.Height, copy.Orientation}), (std::vector<int32_t>{120, 160, 6}));
  EXPECT_EQ(TurnedThumbnail(raw, 1), raw);
  // An offset outside the block, and a block without IFD1, give nothing.
  TBytes broken = photo;
  const size_t jpegOffset = 2 + 4 + 6 + 28 + 8;  // SOI, APP1's marker and length, "Exif", IFD1's first value
  broken[jpegOffset + 1] = 0xF0;
  EXPECT_FALSE(FindIn(broken, found));
  EXPECT_FALSE(FindIn(JpegImage(64, 48), found));
}

TEST(ThumbnailCache, NamesAndWorkerLinesRoundTrip) {
  const TFileTime t = {1, 2};
  const uint64_t key = CopyKey(L"C:\\Pics\\A.jpg", 100, t, 240, 180, cnThumbnail);
  EXPECT_EQ(key, CopyKey(L"c:\\pics\\a.jpg", 100, t, 240, 180, cnThumbnail)) << "the same file in another case";
  for (uint64_t other : {CopyKey(L"C:\\Pics\\B.jpg", 100, t, 240, 180, cnThumbnail),
                         CopyKey(L"C:\\Pics\\A.jpg", 101, t, 240, 180, cnThumbnail),
                         CopyKey(L"C:\\Pics\\A.jpg", 100, {1, 3}, 240, 180, cnThumbnail),
                         CopyKey(L"C:\\Pics\\A.jpg", 100, t, 240, 181, cnThumbnail),
                         CopyKey(L"C:\\Pics\\A.jpg", 100, t, 240, 180, cnPreview)})
    EXPECT_NE(key, other);
  uint64_t back = 0;
  TCopyExt ext = ceNone;
  ASSERT_TRUE(ParseCopyFileName(CopyFileName(key, cePng), back, ext));
  EXPECT_EQ((std::pair<uint64_t, int>{back, ext}), (std::pair<uint64_t, int>{key, cePng}));
  for (const wchar_t* name : {L"0123456789abcdeF.jpg", L"0123456789abcdef.gif", L"0123456789abcde.jpg", L"x.jpg"})
    EXPECT_FALSE(ParseCopyFileName(name, back, ext)) << name;

  TThumbJob job;
  job.Id = 7, job.Width = 240, job.Height = 180, job.Orientation = 6;
  job.Source = L"C:\\Pics\\\u0444\u043e\u0442\u043e 1.jpg";
  job.Target = L"C:\\Cache\\0123456789abcdef";
  TThumbJob parsed;
  ASSERT_TRUE(ParseJobLine(JobLine(job), parsed));
  EXPECT_EQ((std::vector<int64_t>{parsed.Id, parsed.Width, parsed.Height, parsed.Orientation}),
            (std::vector<int64_t>{7, 240, 180, 6}));
  EXPECT_TRUE(parsed.Source == job.Source && parsed.Target == job.Target);
  EXPECT_FALSE(ParseJobLine("J\t7\t0\t180\t6\ta\tb\n", parsed)) << "no copy of width 0";
  TWorkerMessage m;
  ASSERT_TRUE(ParseWorkerLine(DoneLine(7, cePng), m));
  EXPECT_EQ((std::vector<int>{m.Kind, static_cast<int>(m.Id), m.Ext}), (std::vector<int>{'R', 7, cePng}));
  ASSERT_TRUE(ParseWorkerLine(FailedLine(9, jfTooLarge), m));
  EXPECT_EQ((std::vector<int>{m.Kind, static_cast<int>(m.Id), m.Why}), (std::vector<int>{'F', 9, jfTooLarge}));
  ASSERT_TRUE(ParseWorkerLine(ReadyLine(4), m));
  EXPECT_EQ(m.Threads, 4);
  EXPECT_FALSE(ParseWorkerLine("R\t1\tgif\n", m));
  EXPECT_NE(PlaceholderSvg(itHEIF, 4032, 3024, 240, 180).find(">HEIC \xC2\xB7 4032\xC3\x97" "3024<"), std::string::npos);
}

TEST(OrientPixels, EveryOrientationShowsThePictureUpright) {
  // A 3 x 2 picture, one byte per pixel told by its value (the other three zero):
  //   1 2 3
  //   4 5 6
  const uint8_t values[6] = {1, 2, 3, 4, 5, 6};
  uint8_t in[24] = {}, out[24];
  for (int i = 0; i < 6; ++i) in[4 * i] = values[i];
  const std::vector<int> want[9] = {
      {}, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}, {6, 5, 4, 3, 2, 1}, {4, 5, 6, 1, 2, 3},
      {1, 4, 2, 5, 3, 6},  // 5: transposed
      {4, 1, 5, 2, 6, 3},  // 6: a quarter turn right
      {6, 3, 5, 2, 4, 1},  // 7: transversed
      {3, 6, 2, 5, 1, 4},  // 8: a quarter turn left
  };
  for (int orientation = 1; orientation <= 8; ++orientation) {
    int32_t w = 0, h = 0;
    OrientPixels(in, 3, 2, orientation, out, w, h);
    std::vector<int> got;
    for (int i = 0; i < 6; ++i) got.push_back(out[4 * i]);
    EXPECT_EQ(got, want[orientation]) << orientation;
    EXPECT_EQ(w, orientation >= 5 ? 2 : 3) << orientation;
  }
}

TEST(PictureIndex, KeepsThisPageFirstThenWhatItKnewWithinItsBound) {
  // An index of two pictures, one with its camera's thumbnail.
  const std::string thumb = "\xFF\xD8 a thumbnail";
  TLargeArray<TPictureIndex::TFresh> fresh;
  TPictureIndex::TFresh a{}, b{};
  a.Record.Key = 1, a.Record.ImageType = itJPEG, a.Record.Width = 4000, a.Record.Height = 3000;
  a.Record.Exif = kExifPresent, a.Record.ExifWidth = 160, a.Record.ExifHeight = 120;
  a.Record.ExifLength = static_cast<uint32_t>(thumb.size());
  b.Record.Key = 2, b.Record.ImageType = itPNG, b.Record.Width = 10, b.Record.Exif = kExifNotLooked;
  fresh.Push(a);
  fresh.Push(b);
  TPictureIndex empty;
  TLargeBuffer file;
  ASSERT_TRUE(empty.Build(fresh, reinterpret_cast<const uint8_t*>(thumb.data()), 1 << 20, file));
  TPictureIndex index;
  TLargeBuffer copy;
  copy.Allocate(file.Size());
  std::memcpy(copy.Data(), file.Data(), file.Size());
  copy.SetSize(file.Size());
  index.Load(std::move(copy));
  TPictureRecord r;
  const uint8_t* exif = nullptr;
  ASSERT_TRUE(index.Find(1, r, exif));
  EXPECT_EQ((std::vector<int>{r.ImageType, r.Width, r.Height, r.Exif, r.ExifWidth, r.ExifHeight}),
            (std::vector<int>{itJPEG, 4000, 3000, kExifPresent, 160, 120}));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(exif), r.ExifLength), thumb);
  EXPECT_TRUE(index.Find(2, r, exif));
  EXPECT_FALSE(index.Find(3, r, exif));
  // A new page of picture 3 keeps it first and what the index knew after,
  // as far as the bound allows: here only picture 3 and picture 1.
  TLargeArray<TPictureIndex::TFresh> next;
  TPictureIndex::TFresh c{};
  c.Record.Key = 3;
  next.Push(c);
  TLargeBuffer smaller;
  ASSERT_TRUE(index.Build(next, nullptr, 8 + 44 + 44 + thumb.size(), smaller));
  TPictureIndex after;
  after.Load(std::move(smaller));
  EXPECT_TRUE(after.Find(3, r, exif) && after.Find(1, r, exif));
  EXPECT_FALSE(after.Find(2, r, exif));
  // A damaged tail is dropped; another file is no index.
  file.SetSize(file.Size() - 3);
  index.Load(std::move(file));
  EXPECT_TRUE(index.Find(1, r, exif));
  EXPECT_FALSE(index.Find(2, r, exif));
  TLargeBuffer other;
  other.Allocate(64);
  other.SetSize(64);
  std::memset(other.Data(), 'x', 64);
  index.Load(std::move(other));
  EXPECT_FALSE(index.Find(1, r, exif));
  EXPECT_EQ(JpegDataUri("\xFF\xD8\xFF"), "data:image/jpeg;base64,/9j/");
  EXPECT_EQ(JpegDataUri("ab"), "data:image/jpeg;base64,YWI=");
}
