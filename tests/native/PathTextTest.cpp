#include "gallery/PathText.h"
#include "platform/Unicode.h"

#include <gtest/gtest.h>

#include <limits>

TEST(FitThumbnail, KeepsProportionsAndFillsTheBoxInOneDirection) {
  struct {
    int32_t w, h, bw, bh, tw, th;
  } cases[] = {
      {640, 480, 120, 100, 120, 90},  {480, 640, 120, 100, 75, 100}, {240, 200, 120, 100, 120, 100},
      {60, 40, 120, 100, 120, 80},    {1024, 768, 128, 128, 128, 96}, {1, 1000, 120, 100, 0, 100},
      {-640, 480, 120, 100, -133, 100}, {640, 480, -120, 100, 133, 100},
  };
  for (const auto& c : cases) {
    TThumbSize t = FitThumbnail(c.w, c.h, c.bw, c.bh);
    EXPECT_EQ(t.Width, c.tw) << c.w << "x" << c.h << " in " << c.bw << "x" << c.bh;
    EXPECT_EQ(t.Height, c.th) << c.w << "x" << c.h << " in " << c.bw << "x" << c.bh;
  }
}

TEST(FitThumbnail, AnyZeroGivesTheBoxItself) {
  struct {
    int32_t w, h, bw, bh;
  } cases[] = {{0, 480, 120, 100}, {640, 0, 120, 100}, {640, 480, 0, 100}, {640, 480, 120, 0}, {0, 0, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_FALSE(FittingApplies(c.w, c.h, c.bw, c.bh));
    TThumbSize t = FitThumbnail(c.w, c.h, c.bw, c.bh);
    EXPECT_EQ(t.Width, c.bw);
    EXPECT_EQ(t.Height, c.bh);
  }
}

TEST(FitThumbnail, ExtremeValuesAreClampedToThe32BitRange) {
  const int32_t kMax = std::numeric_limits<int32_t>::max(), kMin = std::numeric_limits<int32_t>::min();
  // Only negative numbers can take the scaled side beyond the range.
  TThumbSize t = FitThumbnail(kMin, 1, 1, kMin);
  EXPECT_EQ(t.Width, kMax);
  EXPECT_EQ(t.Height, kMin);
  t = FitThumbnail(1, kMin, kMin, 1);
  EXPECT_EQ(t.Width, kMin);
  EXPECT_EQ(t.Height, kMax);
  t = FitThumbnail(kMin, 1, 1, kMax);
  EXPECT_EQ(t.Width, kMin);
  EXPECT_EQ(t.Height, kMax);
  t = FitThumbnail(kMax, kMax, kMax, kMax);
  EXPECT_EQ(t.Width, kMax);
  EXPECT_EQ(t.Height, kMax);
  t = FitThumbnail(kMin, kMin, kMin, kMin);
  EXPECT_EQ(t.Width, kMin);
  EXPECT_EQ(t.Height, kMin);
}

TEST(AddBackslash, AppendsOnlyWhereMissing) {
  EXPECT_EQ(AddBackslash("C:\\Pics"), "C:\\Pics\\");
  EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
  EXPECT_EQ(AddBackslash("x"), "x\\");
  EXPECT_EQ(AddBackslash(""), "");
  EXPECT_EQ(AddBackslash(std::wstring(L"C:\\Temp")), L"C:\\Temp\\");
  EXPECT_EQ(AddBackslash(std::wstring()), L"");
}

TEST(PathParts, SplitAtTheLastBackslashOrColon) {
  struct {
    const char* path;
    const char* folder;
    const char* name;
  } cases[] = {{"C:\\Pics\\a.jpg", "C:\\Pics\\", "a.jpg"},
               {"D:b.gif", "D:", "b.gif"},
               {"plain.png", "", "plain.png"},
               {"C:\\Pics\\", "C:\\Pics\\", ""},
               {"", "", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
    EXPECT_EQ(NamePart(c.path), c.name) << c.path;
  }
  EXPECT_EQ(FolderPart(std::wstring_view(L"C:\\Temp\\galv1.htm")), L"C:\\Temp\\");
}

TEST(FileUrl, EncodesOnlyPercentAndHashAndEscapesMarkup) {
  EXPECT_EQ(FileUrl("C:\\Pics\\a.jpg"), "file://localhost/C:\\Pics\\a.jpg");
  EXPECT_EQ(FileUrl("C:\\photo #1.jpg"), "file://localhost/C:\\photo %231.jpg");
  EXPECT_EQ(FileUrl("C:\\50%20off.jpg"), "file://localhost/C:\\50%2520off.jpg");
  EXPECT_EQ(FileUrl("arc:\\a\"<b>.jpg"), "file://localhost/arc:\\a&quot;&lt;b&gt;.jpg");
  EXPECT_EQ(FileUrl("C:\\caf\xE9 & more.jpg"), "file://localhost/C:\\caf\xE9 &amp; more.jpg");
  EXPECT_EQ(FileUrl("C:\\it's.jpg"), "file://localhost/C:\\it&#39;s.jpg");
}

TEST(HtmlText, EscapesWhatCouldEndAnAttributeOrStartMarkup) {
  EXPECT_EQ(HtmlText("a\"b<c>d#e%f&g'h"), "a&quot;b&lt;c&gt;d#e%f&amp;g&#39;h");
  // A name that looks like a character reference stays the name it is.
  EXPECT_EQ(HtmlText("a&copy.jpg"), "a&amp;copy.jpg");
}

TEST(PageTimeNumber, CountsTenThousandthsOfADaySince1899) {
  EXPECT_EQ(PageTimeNumber(2026, 12, 5, 5, 37, 41, 0), 463612345);
  EXPECT_EQ(PageTimeNumber(1899, 12, 30, 0, 0, 0, 0), 0);
  EXPECT_EQ(PageTimeNumber(1899, 12, 31, 0, 0, 8, 640), 10001);
  EXPECT_EQ(PageTimeNumber(1899, 12, 31, 0, 0, 8, 639), 10000);
  EXPECT_EQ(PageTimeNumber(1927, 5, 18, 0, 0, 0, 0) / 100000000, 1) << "nine digits from May 1927";
  EXPECT_EQ(PageTimeNumber(2173, 10, 13, 23, 59, 59, 999) / 1000000000, 0) << "and until October 2173";
}

TEST(RandomPageNumber, StaysBelow200) {
  int seen[200] = {};
  for (uint32_t seed = 0; seed < 86400000; seed += 997) {
    int32_t r = RandomPageNumber(seed);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 200);
    ++seen[r];
  }
  for (int r = 0; r < 200; ++r) EXPECT_GT(seen[r], 0) << r;
  EXPECT_GE(RandomPageNumber(0xFFFFFFFFu), 0);
}

TEST(IsGeneratedPageName, GalvDigitsHtmInAnyCase) {
  for (const char* yes : {"galv46361234587.htm", "GALV789.HTM", "galv12.htm", "Galv0.Htm"})
    EXPECT_TRUE(IsGeneratedPageName(yes)) << yes;
  // The clean-up gets the names from the wide search.
  EXPECT_TRUE(IsGeneratedPageName(std::wstring_view(L"galv7.htm")));
  EXPECT_FALSE(IsGeneratedPageName(std::wstring_view(L"Galv\x0437\x0430.htm")));
  EXPECT_FALSE(IsGeneratedPageName(std::wstring_view(L"g\x0430lv1.htm")));
  EXPECT_FALSE(IsGeneratedPageName(std::wstring_view(L"galv1.ht\x006D\x0301")));
  EXPECT_FALSE(IsGeneratedPageName(std::wstring_view(L"galv\x0661.htm")));  // an Arabic-Indic one
  for (const char* no : {"galvanize.htm", "galv.htm", "galv12x.htm", "galvold.htm", "galv 1.htm", "galv-1.htm",
                         "galvanize.html", "GALV5.HTML", "galv.htm.html", "galvx.htmx", "page.htm", "galv.txt",
                         "galvhtm", "agalv1.htm", "GALV~SL4.HTM x"})
    EXPECT_FALSE(IsGeneratedPageName(no)) << no;
}

TEST(Utf8, DecodingIsStrictAndEncodingRoundTrips) {
  const struct {
    const char* Bytes;
    std::u32string Characters;
  } cases[] = {
      {"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", U"a\u00E9\u20AC\U0001F600"},
      {"\xC0\xAF", U"\uFFFD\uFFFD"},                      // an overlong '/'
      {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},            // overlong in three bytes
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xE2\x82", U"\uFFFD\uFFFD"},                      // cut short
  };
  for (const auto& c : cases) {
    std::u32string decoded;
    EachCodePoint(WideFromUtf8(c.Bytes), [&](uint32_t code) { decoded += static_cast<char32_t>(code); });
    EXPECT_EQ(decoded, c.Characters) << c.Bytes;
  }
  EXPECT_EQ(Utf8Encode(WideFromUtf8(cases[0].Bytes)), cases[0].Bytes);
}
