#include "gallery/TemplatePage.h"

#include "gallery/PathText.h"
#include "settings/NumberText.h"

namespace {

enum TPart { tpHead, tpPix, tpNew, tpEnd, tpParts };
const char* const kPartNames[tpParts] = {"head.htm", "pix.htm", "new.htm", "end.htm"};

class TTemplateWriter {
 public:
  TTemplateWriter(TPageSink& page, const TDateText& dates, std::string prefix)
      : page_(page), dates_(dates), prefix_(std::move(prefix)) {}

  // Reads each needed part once; the outcome of the first that fails.
  TPageOutcome Read(TTemplateFiles& files, const std::wstring& folder, bool images) {
    for (int part : {tpHead, tpPix, tpNew, tpEnd}) {
      if (!images && (part == tpPix || part == tpNew)) continue;
      const std::string name = prefix_ + kPartNames[part];
      switch (files.Read(folder + std::wstring(name.begin(), name.end()), parts_[part])) {
        case trRead: break;
        case trNoMemory: return {prNoMemory, name};
        default: return {prTemplateUnreadable, name};
      }
    }
    return lines_.Allocate() ? TPageOutcome{} : TPageOutcome{prNoMemory, ""};
  }

  // Writes the part's lines through the placeholders.
  TPageOutcome Write(int part, const TCurInfo& info) {
    const bool whole = ForEachTemplateLine(parts_[part].View(), [&](std::string_view text) {
      std::string_view line;
      if (!ApplyPlaceholders(text, info, dates_, lines_, line)) return false;
      page_.Line(line);
      return true;
    });
    return whole ? TPageOutcome{} : TPageOutcome{prLineTooLong, prefix_ + kPartNames[part]};
  }

 private:
  TPageSink& page_;
  const TDateText& dates_;
  std::string prefix_;
  TLargeBuffer parts_[tpParts];
  TLineBuffers lines_;
};

}  // namespace

std::vector<std::string> SplitTemplateLines(std::string_view content) {
  std::vector<std::string> lines;
  ForEachTemplateLine(content, [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  });
  return lines;
}

TPageOutcome WriteTemplatePage(TPageSink& page, const TPageItems& items, const TPluginConfig& config,
                               const std::wstring& pluginFolder, TTemplateFiles& files, const TDateText& dates,
                               const TPageEncoder& encoder) {
  const bool thumbnails = config.Thumbnails != 0;
  const int32_t perRow = thumbnails ? config.ColsTh : config.Cols;
  const int count = items.Count();
  TTemplateWriter writer(page, dates, thumbnails ? "tn_" : "nr_");
  TPageOutcome outcome = writer.Read(files, AddBackslash(pluginFolder), count > 0);
  if (outcome.Result != prDone) return outcome;

  TCurInfo info;
  info.Cols = DecimalText(perRow);
  outcome = writer.Write(tpHead, info);
  for (int i = 0; i < count && page.Ok() && outcome.Result == prDone; ++i) {
    const std::wstring path = items.FullPath(i);
    const TPicture& picture = items.Picture(i);
    // Names from plugin panels may hold characters that no file name can;
    // they must not end an attribute or open a tag.
    info.FullName = encoder.Text(HtmlText(path));
    info.Name = encoder.Text(HtmlText(NamePart(path)));
    info.Path = encoder.Text(HtmlText(FolderPart(path)));
    info.Url = encoder.Text(FileUrl(path));
    info.ThumbUrl = items.ImageAddress(i, info.Url, encoder);
    dates.FileDateTime(items.CreationTime(i), info.Date, info.Time);
    info.Size = DecimalText(picture.FileSize);
    info.Width = DecimalText(picture.Width);
    info.Height = DecimalText(picture.Height);
    const TThumbSize thumb = FitThumbnail(picture.Width, picture.Height, config.Width, config.Height);
    info.TnWidth = DecimalText(thumb.Width);
    info.TnHeight = DecimalText(thumb.Height);
    outcome = writer.Write(tpPix, info);
    if (outcome.Result == prDone && EndsRow(i, perRow)) outcome = writer.Write(tpNew, info);
  }
  if (outcome.Result == prDone) outcome = writer.Write(tpEnd, info);
  return outcome;
}
