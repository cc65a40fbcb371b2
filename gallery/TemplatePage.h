// Pages built from the user's template files: a head, a block per image, a
// block after every n-th image and an end, for each view.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gallery/PageItems.h"
#include "gallery/PageSink.h"
#include "gallery/Placeholders.h"
#include "imageinfo/DCImageInfo.h"
#include "settings/PluginConfig.h"

// Raised when a template file is missing or cannot be read; the page job
// ends without opening the page.
struct TTemplateError {};

// Reads template files whole.
class TTemplateFiles {
 public:
  virtual ~TTemplateFiles() = default;
  // The file's bytes, or false when it is missing or cannot be read.
  virtual bool Read(const std::string& path, std::string& content) = 0;
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
// Raises TTemplateError and TWriteError.
void WriteTemplatePage(TPageSink& page, const TPageItems& items, TDCImageInfo& probe,
                       const TPluginConfig& config, const std::string& pluginFolder,
                       TTemplateFiles& files, const TDateText& dates);
