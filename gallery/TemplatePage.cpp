#include "gallery/TemplatePage.h"

#include "gallery/PathText.h"
#include "settings/NumberText.h"

namespace {

class TTemplateWriter {
 public:
  TTemplateWriter(TPageSink& page, TTemplateFiles& files, const TDateText& dates, TPathName prefix)
      : page_(page), files_(files), dates_(dates), prefix_(std::move(prefix)) {}

  // Reads one template of the set anew; the lines stay until the next read.
  // False when the file cannot be read.
  bool Read(const char* name) {
    std::string content;
    lines_.clear();
    if (!files_.Read(TPathName(prefix_.Text + name, prefix_.CodePage), content)) return false;
    lines_ = SplitTemplateLines(content);
    return true;
  }

  // False when a line would grow beyond the bound of a page line.
  bool WriteLines(const TCurInfo& info) {
    std::string line;
    for (const std::string& text : lines_) {
      if (!ApplyPlaceholders(text, info, dates_, line, kMaxPageLine)) return false;
      page_.Line(line);
    }
    return true;
  }

 private:
  TPageSink& page_;
  TTemplateFiles& files_;
  const TDateText& dates_;
  TPathName prefix_;
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

bool WriteTemplatePage(TPageSink& page, const TPageItems& items, TDCImageInfo& probe,
                       const TPluginConfig& config, const TPathName& pluginFolder,
                       TTemplateFiles& files, const TDateText& dates) {
  const bool thumbnails = config.Thumbnails != 0;
  const int32_t perRow = thumbnails ? config.ColsTh : config.Cols;
  TTemplateWriter writer(page, files, dates,
                         TPathName(AddBackslash(pluginFolder.Text) + (thumbnails ? "tn_" : "nr_"), pluginFolder.CodePage));

  TCurInfo info;
  info.Cols = DecimalText(perRow);
  if (!writer.Read("head.htm") || !writer.WriteLines(info)) return false;

  const int count = items.Count();
  for (int i = 0; i < count && page.Ok(); ++i) {
    const std::string path = items.FullPath(i);
    probe.ReadInfo(items.FileName(i));
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

    if (!writer.Read("pix.htm") || !writer.WriteLines(info)) return false;
    // Read for every image, also when no row ends here.
    if (!writer.Read("new.htm")) return false;
    if (EndsRow(i, perRow) && !writer.WriteLines(info)) return false;
  }

  return writer.Read("end.htm") && writer.WriteLines(info);
}
