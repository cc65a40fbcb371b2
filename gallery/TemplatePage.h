// Pages built from the user's template files: a head, a block per image, a
// block after every n-th image and an end, for each view.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gallery/PageItems.h"
#include "gallery/PageSink.h"
#include "core/PageEncoder.h"
#include "gallery/Placeholders.h"
#include "platform/LargeMemory.h"
#include "settings/PluginConfig.h"

// A template file larger than this counts as one that cannot be read.
constexpr uint64_t kMaxTemplateFile = 16u << 20;

enum TTemplateRead : uint8_t { trRead, trUnreadable, trNoMemory };

// Reads template files whole.
class TTemplateFiles {
 public:
  virtual ~TTemplateFiles() = default;
  // The file's bytes in content; trUnreadable when it is missing, cannot be
  // read or is larger than kMaxTemplateFile.
  virtual TTemplateRead Read(const std::wstring& path, TLargeBuffer& content) = 0;
};

// Date and time texts in the user's formats: the clock, and the calendar
// date and time that a file time holds, without any time-zone conversion.
class TDateText : public TClockText {
 public:
  // Both texts empty when the file time names no calendar date.
  virtual void FileDateTime(const TFileTime& time, std::string& date, std::string& timeText) const = 0;
};

// Calls line(view) for each line of a template file's text: the text ends
// at its first zero byte, and lines end at CR LF, a lone CR or a lone LF. A
// line end at the very end adds no empty line; an empty text has no lines.
// Stops when line returns false, and returns false then.
template <typename TLine>
bool ForEachTemplateLine(std::string_view content, TLine line) {
  const size_t zero = content.find('\0');
  if (zero != std::string_view::npos) content = content.substr(0, zero);
  for (size_t start = 0; start < content.size();) {
    const size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) return line(content.substr(start));
    if (!line(content.substr(start, end - start))) return false;
    start = end + (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n' ? 2 : 1);
  }
  return true;
}

// The same lines as strings.
std::vector<std::string> SplitTemplateLines(std::string_view content);

// Writes the whole page from the view's four templates in pluginFolder,
// each read once; names and paths go in as the encoder writes them. A
// template that cannot be read, a line of it that would grow beyond
// kMaxPageLine, and a block that cannot be had end the page there; the
// outcome says which (and names the template concerned). A write that fails stops the page too, and the sink keeps
// that state.
TPageOutcome WriteTemplatePage(TPageSink& page, const TPageItems& items, const TPluginConfig& config,
                               const std::wstring& pluginFolder, TTemplateFiles& files, const TDateText& dates,
                               const TPageEncoder& encoder);
