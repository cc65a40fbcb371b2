// Pages built from the user's template files: a head, a block per image, a
// block after every n-th image and an end, for each view.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gallery/PageItems.h"
#include "gallery/PageSink.h"
#include "gallery/Placeholders.h"
#include "imageinfo/DCImageInfo.h"
#include "platform/PathName.h"
#include "settings/PluginConfig.h"

// A template file larger than this counts as one that cannot be read.
constexpr uint64_t kMaxTemplateFile = 16u << 20;

// Reads template files whole.
class TTemplateFiles {
 public:
  virtual ~TTemplateFiles() = default;
  // The file's bytes, or false when it is missing, cannot be read or is
  // larger than kMaxTemplateFile.
  virtual bool Read(const TPathName& path, std::string& content) = 0;
};

// Date and time texts in the user's formats: the clock, and the calendar
// date and time that a file time holds, without any time-zone conversion.
class TDateText : public TClockText {
 public:
  // Both texts empty when the file time names no calendar date.
  virtual void FileDateTime(const TFarFileTime& time, std::string& date, std::string& timeText) const = 0;
};

// A template file's lines: the text ends at its first zero byte, and lines
// end at CR LF, a lone CR or a lone LF. A line end at the very end adds no
// empty line; an empty text has no lines.
std::vector<std::string> SplitTemplateLines(std::string_view content);

// Writes the whole page from the view's four templates in pluginFolder.
// False, with the page written up to that point, when a template cannot be
// read or a line of it would grow beyond kMaxPageLine; a write that fails
// stops the page too, and the sink keeps that state.
bool WriteTemplatePage(TPageSink& page, const TPageItems& items, TDCImageInfo& probe,
                       const TPluginConfig& config, const TPathName& pluginFolder,
                       TTemplateFiles& files, const TDateText& dates);
