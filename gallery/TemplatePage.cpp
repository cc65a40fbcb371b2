#include "gallery/TemplatePage.h"

#include "gallery/PathText.h"
#include "settings/NumberText.h"

namespace {

class TTemplateWriter {
 public:
  TTemplateWriter(TPageSink& page, TTemplateFiles& files, const TDateText& dates, std::string prefix)
      : page_(page), files_(files), dates_(dates), prefix_(std::move(prefix)) {}

  // Reads one template of the set anew; the lines stay until the next read.
  void Read(const char* name) {
    std::string content;
    if (!files_.Read(prefix_ + name, content)) throw TTemplateError{};
    lines_ = SplitTemplateLines(content);
  }

  void WriteLines(const TCurInfo& info) {
    for (const std::string& line : lines_) page_.Line(ApplyPlaceholders(line, info, dates_));
  }

 private:
  TPageSink& page_;
  TTemplateFiles& files_;
  const TDateText& dates_;
  std::string prefix_;
  std::vector<std::string> lines_;
};

}  // namespace

std::vector<std::string> SplitTemplateLines(std::string_view content) {
  const size_t zero = content.find('\0');
  if (zero != std::string_view::npos) content = content.substr(0, zero);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(content.substr(start));
      break;
    }
    lines.emplace_back(content.substr(start, end - start));
    start = end + (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

void WriteTemplatePage(TPageSink& page, const TPageItems& items, TDCImageInfo& probe,
                       const TPluginConfig& config, const std::string& pluginFolder,
                       TTemplateFiles& files, const TDateText& dates) {
  const bool thumbnails = config.Thumbnails != 0;
  const int32_t perRow = thumbnails ? config.ColsTh : config.Cols;
  TTemplateWriter writer(page, files, dates, AddBackslash(pluginFolder) + (thumbnails ? "tn_" : "nr_"));

  TCurInfo info;
  info.Cols = DecimalText(perRow);
  writer.Read("head.htm");
  writer.WriteLines(info);

  const int count = items.Count();
  for (int i = 0; i < count; ++i) {
    const std::string path = items.FullPath(i);
    probe.ReadInfo(path);
    // Names from plugin panels may hold characters that no file name can;
    // they must not end an attribute or open a tag.
    info.FullName = HtmlText(path);
    info.Name = HtmlText(NamePart(path));
    info.Path = HtmlText(FolderPart(path));
    dates.FileDateTime(items.CreationTime(i), info.Date, info.Time);
    info.Size = DecimalText(probe.FileSize);
    info.Width = DecimalText(probe.Width);
    info.Height = DecimalText(probe.Height);
    const TThumbSize thumb = FitThumbnail(probe.Width, probe.Height, config.Width, config.Height);
    info.TnWidth = DecimalText(thumb.Width);
    info.TnHeight = DecimalText(thumb.Height);

    writer.Read("pix.htm");
    writer.WriteLines(info);
    // Read for every image, also when no row ends here.
    writer.Read("new.htm");
    if (EndsRow(i, perRow)) writer.WriteLines(info);
  }

  writer.Read("end.htm");
  writer.WriteLines(info);
}
