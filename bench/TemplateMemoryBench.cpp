// The template writer's memory: a page of two images from a set whose
// block template is 16 MB of empty lines (16.7 million lines), written to a
// sink that only counts. Prints the peak resident memory of the process.
//   galvora-template-memory-bench
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "gallery/TemplatePage.h"

namespace {

class TFiles final : public TTemplateFiles {
 public:
  TTemplateRead Read(const std::wstring& path, TLargeBuffer& content) override {
    const std::string& text = Files[std::string(path.begin(), path.end())];
    if (!content.Allocate(text.size())) return trNoMemory;
    std::copy(text.begin(), text.end(), content.Data());
    content.SetSize(text.size());
    return trRead;
  }
  std::map<std::string, std::string> Files;
};

class TDates final : public TDateText {
 public:
  std::string CurrentDate() const override { return "today"; }
  std::string CurrentTime() const override { return "now"; }
  void FileDateTime(const TFileTime&, std::string& date, std::string& time) const override { date = time = "x"; }
};

class TItems final : public TPageItems {
 public:
  int Count() const override { return 2; }
  std::wstring FullPath(int i) const override { return L"/nonexistent/img" + std::to_wstring(i) + L".jpg"; }
  TFileTime CreationTime(int) const override { return {}; }
  const TPicture& Picture(int) const override { return picture_; }

 private:
  TPicture picture_;
};

class TCounter final : public TPageSink {
 public:
  void Write(std::string_view text) override { Bytes += text.size(); }
  size_t Bytes = 0;
};

long PeakKb() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main() {
  TFiles files;
  files.Files["P\\tn_head.htm"] = "<html>";
  files.Files["P\\tn_pix.htm"] = std::string(kMaxTemplateFile, '\n');
  files.Files["P\\tn_new.htm"] = "<br>";
  files.Files["P\\tn_end.htm"] = "</html>";
  const long before = PeakKb();
  TPluginConfig config;
  config.Thumbnails = -1;
  TItems items;
  TCounter page;
  TDates dates;
  WriteTemplatePage(page, items, config, L"P", files, dates, TAsciiEncoder());
  std::printf("template of 16 MB of empty lines, 2 images: %zu bytes of page; peak resident memory %.1f MB "
              "(%.1f MB before the page, the template's text itself included)\n",
              page.Bytes, PeakKb() / 1024.0, before / 1024.0);
  return 0;
}
