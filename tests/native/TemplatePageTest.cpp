#include "gallery/TemplatePage.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class TFakeFiles final : public TTemplateFiles {
 public:
  TTemplateRead Read(const std::wstring& wide, TLargeBuffer& content) override {
    const std::string path(wide.begin(), wide.end());  // the tests' names are ASCII
    ReadPaths.push_back(path);
    auto it = Files.find(path);
    if (it == Files.end()) return trUnreadable;
    if (!content.Allocate(it->second.size())) return trNoMemory;
    std::copy(it->second.begin(), it->second.end(), content.Data());
    content.SetSize(it->second.size());
    return trRead;
  }
  std::map<std::string, std::string> Files;
  std::vector<std::string> ReadPaths;
};

class TFakeDates final : public TDateText {
 public:
  std::string CurrentDate() const override { return "today"; }
  std::string CurrentTime() const override { return "now"; }
  void FileDateTime(const TFileTime& t, std::string& date, std::string& time) const override {
    date = "d" + std::to_string(t.Low);
    time = "t" + std::to_string(t.Low);
  }
};

// Pictures by name, as a job that found nothing in them would give them.
class TNamedItems final : public TPageItems {
 public:
  explicit TNamedItems(std::vector<std::string> paths) : paths_(std::move(paths)) {}
  int Count() const override { return static_cast<int>(paths_.size()); }
  std::wstring FullPath(int i) const override { return std::wstring(paths_[i].begin(), paths_[i].end()); }
  TFileTime CreationTime(int i) const override { return {static_cast<uint32_t>(i), 0}; }
  const TPicture& Picture(int) const override { return picture_; }

 private:
  std::vector<std::string> paths_;
  TPicture picture_;
};

// Paths that no file has: 0 x 0 and size 0 for each.
std::vector<std::string> Missing(int n) {
  std::vector<std::string> paths;
  for (int i = 0; i < n; ++i) paths.push_back("Q:\\none\\img" + std::to_string(i) + ".jpg");
  return paths;
}

class TemplatePage : public ::testing::Test {
 protected:
  TemplatePage() {
    config.Thumbnails = -1;
    config.ColsTh = 6;
    config.Cols = 0;
    config.Width = 120;
    config.Height = 100;
    Set("tn_", "head", "<head %COLS%>");
    Set("tn_", "pix", "[%NAME%]");
    Set("tn_", "new", "<br>");
    Set("tn_", "end", "</end %NAME%>");
    Set("nr_", "head", "<full %COLS%>");
    Set("nr_", "pix", "(%NAME%)");
    Set("nr_", "new", "<nr-br>");
    Set("nr_", "end", "</full>");
  }
  void Set(const std::string& prefix, const std::string& name, const std::string& text) {
    files.Files["P:\\plugin\\" + prefix + name + ".htm"] = text;
  }
  void Remove(const std::string& prefix, const std::string& name) {
    files.Files.erase("P:\\plugin\\" + prefix + name + ".htm");
  }
  std::vector<std::string> Write(const std::vector<std::string>& paths) {
    TNamedItems items(paths);
    TStringSink page;
    outcome = WriteTemplatePage(page, items, config, L"P:\\plugin", files, dates, TAsciiEncoder());
    failed = outcome.Result != prDone;
    std::vector<std::string> lines;
    for (size_t at = 0, end; at < page.Text.size(); at = end + 2) {
      end = page.Text.find("\r\n", at);
      EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
      if (end == std::string::npos) break;
      lines.push_back(page.Text.substr(at, end - at));
    }
    return lines;
  }
  TPluginConfig config;
  TFakeFiles files;
  TFakeDates dates;
  bool failed = false;
  TPageOutcome outcome;
};

using L = std::vector<std::string>;

}  // namespace

TEST_F(TemplatePage, ColsInTheHeadFollowsTheView) {
  EXPECT_EQ(Write({}), (L{"<head 6>", "</end >"}));
  config.Thumbnails = 0;
  EXPECT_EQ(Write({}), (L{"<full 0>", "</full>"}));
}

TEST_F(TemplatePage, NewBlockFollowsEveryNthImageButNotTheLast) {
  config.ColsTh = 3;
  L page = Write(Missing(7));
  EXPECT_EQ(page, (L{"<head 3>", "[img0.jpg]", "[img1.jpg]", "[img2.jpg]", "<br>", "[img3.jpg]", "[img4.jpg]",
                     "[img5.jpg]", "<br>", "[img6.jpg]", "</end img6.jpg>"}));
  EXPECT_FALSE(failed);
}

TEST_F(TemplatePage, ImagesPerRowOfTheFullSizeView) {
  config.Thumbnails = 0;
  config.Cols = 2;
  config.ColsTh = 1;
  EXPECT_EQ(Write(Missing(3)), (L{"<full 2>", "(img0.jpg)", "(img1.jpg)", "<nr-br>", "(img2.jpg)", "</full>"}));
}

TEST_F(TemplatePage, EachTemplateIsReadOncePerPage) {
  config.ColsTh = 1;
  EXPECT_EQ(Write(Missing(3)), (L{"<head 1>", "[img0.jpg]", "<br>", "[img1.jpg]", "<br>", "[img2.jpg]", "<br>",
                                  "</end img2.jpg>"}));
  EXPECT_EQ(files.ReadPaths, (L{"P:\\plugin\\tn_head.htm", "P:\\plugin\\tn_pix.htm", "P:\\plugin\\tn_new.htm",
                                "P:\\plugin\\tn_end.htm"}));
}

TEST_F(TemplatePage, EveryLineOfABlockGoesThroughThePlaceholders) {
  Set("tn_", "pix", "<a>\n%NAME%\r%WIDTH%x%HEIGHT% %TNWIDTH%x%TNHEIGHT% %SIZE% %DATE% %TIME%\r\n");
  L page = Write(Missing(2));
  EXPECT_EQ(page, (L{"<head 6>", "<a>", "img0.jpg", "0x0 120x100 0 d0 t0", "<a>", "img1.jpg",
                     "0x0 120x100 0 d1 t1", "</end img1.jpg>"}));
}

TEST_F(TemplatePage, ZeroByteEndsTheTemplate) {
  Set("tn_", "head", std::string("<kept>\r\n<cut\0 away>\r\nnever", 28));
  EXPECT_EQ(Write({}), (L{"<kept>", "<cut", "</end >"}));
}

TEST_F(TemplatePage, EmptyTemplateContributesNothing) {
  Set("tn_", "head", "");
  EXPECT_EQ(Write(Missing(1)), (L{"[img0.jpg]", "</end img0.jpg>"}));
}

TEST_F(TemplatePage, MissingTemplateIsNamedBeforeAnythingIsWritten) {
  config.ColsTh = 0;
  const std::map<std::string, std::string> all = files.Files;
  for (const char* part : {"new", "end", "pix", "head"}) {
    files.Files = all;
    Remove("tn_", part);
    EXPECT_EQ(Write(Missing(3)), L{}) << part;
    EXPECT_EQ(outcome.Result, prTemplateUnreadable);
    EXPECT_EQ(outcome.Template, std::string("tn_") + part + ".htm");
  }
}

TEST_F(TemplatePage, PageWithoutImagesNeedsOnlyHeadAndEnd) {
  Remove("tn_", "pix");
  Remove("tn_", "new");
  EXPECT_EQ(Write({}), (L{"<head 6>", "</end >"}));
  EXPECT_FALSE(failed);
  Remove("tn_", "head");
  EXPECT_EQ(Write({}), L{});
  EXPECT_TRUE(failed);
}

TEST_F(TemplatePage, NamesCannotEndAnAttributeOrOpenATag) {
  Set("tn_", "pix", "<img src=\"%FULLNAME%\" alt=\"%NAME%\" title=\"%PATH%\">");
  L page = Write({"arc:\\a\"b\\<x>.jpg", "C:\\Tom & Jerry\\it's.jpg"});
  EXPECT_EQ(page[1], "<img src=\"arc:\\a&quot;b\\&lt;x&gt;.jpg\" alt=\"&lt;x&gt;.jpg\" title=\"arc:\\a&quot;b\\\">");
  EXPECT_EQ(page[2], "<img src=\"C:\\Tom &amp; Jerry\\it&#39;s.jpg\" alt=\"it&#39;s.jpg\" title=\"C:\\Tom &amp; Jerry\\\">");
}

TEST_F(TemplatePage, EmptyPluginFolderLeavesTemplateNamesBare) {
  TNamedItems items({});
  TStringSink page;
  EXPECT_EQ(WriteTemplatePage(page, items, config, L"", files, dates, TAsciiEncoder()).Result, prTemplateUnreadable);
  EXPECT_EQ(files.ReadPaths, (L{"tn_head.htm"}));
}

TEST_F(TemplatePage, LineThatWouldOutgrowItsBoundEndsThePage) {
  // Every %FULLNAME% of a long line becomes a long path: the line would grow
  // far beyond what a page line may hold.
  std::string line;
  for (int i = 0; i < 100000; ++i) line += "%FULLNAME%";
  Set("tn_", "pix", line);
  const std::string folder = "C:\\" + std::string(400, 'f') + "\\";
  L page = Write({folder + "a.jpg", folder + "b.jpg"});
  EXPECT_EQ(outcome.Result, prLineTooLong);
  EXPECT_EQ(outcome.Template, "tn_pix.htm");
  EXPECT_EQ(page, (L{"<head 6>"}));
}

TEST_F(TemplatePage, EveryLargeBlockThatCannotBeHadEndsThePage) {
  // The four templates and the two line buffers, one after the other.
  for (int fail = 0; fail < 6; ++fail) {
    LargeAllocationsLeft = fail;
    EXPECT_EQ(Write(Missing(2)), L{}) << fail;
    EXPECT_EQ(outcome.Result, prNoMemory) << fail;
  }
  LargeAllocationsLeft = 6;
  EXPECT_EQ(Write(Missing(1)).size(), 3u);
  EXPECT_FALSE(failed);
  LargeAllocationsLeft = -1;
}

TEST_F(TemplatePage, SixteenMegabytesOfEmptyLinesStayOneBlock) {
  // 16 MB of line ends: 16.7 million lines, written as they are walked.
  Set("tn_", "pix", std::string(kMaxTemplateFile, '\n'));
  TNamedItems items(Missing(2));
  class TCounter final : public TPageSink {
   public:
    void Write(std::string_view text) override { Bytes += text.size(); }
    size_t Bytes = 0;
  } page;
  EXPECT_EQ(WriteTemplatePage(page, items, config, L"P:\\plugin", files, dates, TAsciiEncoder()).Result, prDone);
  EXPECT_EQ(page.Bytes, 2 * 2 * kMaxTemplateFile + 10 + 17);  // head, two blocks, end
}
