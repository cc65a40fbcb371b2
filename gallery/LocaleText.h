// Dates and times in the user's regional formats, as they stood when the
// library was loaded.
#pragma once

#include <string>

#include "gallery/TemplatePage.h"

// Reads the regional formats of the thread's locale; run once at load.
void ReadRegionalFormats();

struct TCalendarTime {
  int Year, Month, Day, Hour, Minute, Second;
};

// Date and time texts in the formats read at load, from the wide locale
// functions; and the same in the ANSI code page.
std::wstring FormatDateText(const TCalendarTime& t);
std::wstring FormatTimeText(const TCalendarTime& t);
std::string FormatDate(const TCalendarTime& t);
std::string FormatTime(const TCalendarTime& t);

// The texts as the page's encoder writes them.
class TLocaleDateText final : public TDateText {
 public:
  explicit TLocaleDateText(const TPageEncoder& encoder) : encoder_(encoder) {}
  std::string CurrentDate() const override;
  std::string CurrentTime() const override;
  void FileDateTime(const TFileTime& time, std::string& date, std::string& timeText) const override;

 private:
  const TPageEncoder& encoder_;
};
