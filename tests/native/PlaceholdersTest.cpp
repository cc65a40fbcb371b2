#include "gallery/Placeholders.h"

#include <gtest/gtest.h>

#include "gallery/TemplatePage.h"

namespace {

class TFixedClock final : public TClockText {
 public:
  TFixedClock(std::string date, std::string time) : date_(std::move(date)), time_(std::move(time)) {}
  std::string CurrentDate() const override {
    ++reads;
    return date_;
  }
  std::string CurrentTime() const override {
    ++reads;
    return time_;
  }
  mutable int reads = 0;

 private:
  std::string date_, time_;
};

TCurInfo Image() {
  TCurInfo i;
  i.Cols = "6";
  i.FullName = "C:\\Pics\\a.jpg";
  i.Name = "a.jpg";
  i.Path = "C:\\Pics\\";
  i.Date = "12/5/2026";
  i.Time = "5:37:40 AM";
  i.Size = "51234";
  i.Width = "640";
  i.Height = "480";
  i.TnWidth = "120";
  i.TnHeight = "90";
  return i;
}

}  // namespace

TEST(ReplacePlaceholder, MatchesLettersAToZWithoutRegardToCase) {
  for (const char* text : {"%name%", "%Name%", "%NAME%", "%nAmE%"})
    EXPECT_EQ(ReplacePlaceholder("%NAME%", "x.jpg", text), "x.jpg") << text;
  // Only a to z fold: A-umlaut (0xC4) and a-umlaut (0xE4) stay apart.
  EXPECT_EQ(ReplacePlaceholder("%\xC4%", "x", "%\xE4%"), "%\xE4%");
  EXPECT_EQ(ReplacePlaceholder("%\xC4%", "x", "%\xC4%"), "x");
}

TEST(ReplacePlaceholder, ReplacesEveryOccurrenceOnceAndNeverSearchesTheValue) {
  EXPECT_EQ(ReplacePlaceholder("%NAME%", "a", "%NAME%-%name%-%NAME%"), "a-a-a");
  EXPECT_EQ(ReplacePlaceholder("%NAME%", "%NAME%.jpg", "[%NAME%]"), "[%NAME%.jpg]");
  EXPECT_EQ(ReplacePlaceholder("%NAME%", "%NA", "%NAME%ME%"), "%NAME%");
  EXPECT_EQ(ReplacePlaceholder("%NAME%", "", "a%NAME%b"), "ab");
  EXPECT_EQ(ReplacePlaceholder("%NAME%", "x", ""), "");
  EXPECT_EQ(ReplacePlaceholder("%NAME%", "x", "%NAM"), "%NAM");
}

TEST(ApplyPlaceholders, ReplacesAllThirteen) {
  TFixedClock clock("12/8/2026", "1:02:03 PM");
  struct {
    const char* line;
    const char* page;
  } cases[] = {
      {"%CURDATE% %CURTIME%", "12/8/2026 1:02:03 PM"},
      {"%FULLNAME%|%NAME%|%PATH%", "C:\\Pics\\a.jpg|a.jpg|C:\\Pics\\"},
      {"%DATE% %TIME%", "12/5/2026 5:37:40 AM"},
      {"%COLS% %SIZE%", "6 51234"},
      {"%WIDTH%x%HEIGHT%", "640x480"},
      {"<img width=\"%TNWIDTH%\" height=\"%TNHEIGHT%\">", "<img width=\"120\" height=\"90\">"},
      {"%%NAME%%", "%a.jpg%"},
      {"%UNKNOWN% 100% %", "%UNKNOWN% 100% %"},
      {"", ""},
      {"no placeholder here", "no placeholder here"},
  };
  for (const auto& c : cases) EXPECT_EQ(ApplyPlaceholders(c.line, Image(), clock), c.page) << c.line;
}

TEST(ApplyPlaceholders, LaterStepsSeeWhatEarlierOnesInserted) {
  TFixedClock clock("d", "t");
  TCurInfo named = Image();
  named.Name = "%SIZE%.jpg";
  EXPECT_EQ(ApplyPlaceholders("%NAME%", named, clock), "51234.jpg");
  EXPECT_EQ(ApplyPlaceholders("%SIZE% %NAME%", named, clock), "51234 51234.jpg");
  named.Name = "%NAME%.jpg";
  EXPECT_EQ(ApplyPlaceholders("%NAME%", named, clock), "%NAME%.jpg");
  // An earlier step never sees a later step's text.
  named.Size = "%NAME%";
  EXPECT_EQ(ApplyPlaceholders("%SIZE%", named, clock), "%NAME%");
}

TEST(ApplyPlaceholders, EmptyFieldsRemoveTheirPlaceholders) {
  TFixedClock clock("d", "t");
  TCurInfo head;
  head.Cols = "6";
  EXPECT_EQ(ApplyPlaceholders("<h1>%NAME%</h1> %COLS% per row %WIDTH%", head, clock), "<h1></h1> 6 per row ");
}

TEST(ApplyPlaceholders, ReadsTheClockOnlyForTheLinesThatShowIt) {
  TFixedClock clock("d", "t");
  ApplyPlaceholders("%NAME% and 50%", Image(), clock);
  EXPECT_EQ(clock.reads, 0);
  ApplyPlaceholders("%curdate%", Image(), clock);
  EXPECT_EQ(clock.reads, 1);
  ApplyPlaceholders("%CURDATE% %CURTIME% %CURDATE%", Image(), clock);
  EXPECT_EQ(clock.reads, 3);
}

TEST(SplitTemplateLines, SplitsAtEveryKindOfLineEnd) {
  using L = std::vector<std::string>;
  struct {
    std::string text;
    L lines;
  } cases[] = {
      {"a\r\nb\r\n", L{"a", "b"}},
      {"a\nb", L{"a", "b"}},
      {"a\rb\r", L{"a", "b"}},
      {"a\r\n\r\nb", L{"a", "", "b"}},
      {"a\r\r\nb\n\rc", L{"a", "", "b", "", "c"}},
      {"\n", L{""}},
      {"", L{}},
      {"  padded  \t\n", L{"  padded  \t"}},
      {std::string("kept\nend\0after\nmore", 19), L{"kept", "end"}},
      {std::string("\0", 1), L{}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitTemplateLines(c.text), c.lines);
}
