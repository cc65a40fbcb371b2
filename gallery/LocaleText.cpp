#include "gallery/LocaleText.h"

#include <cstdio>

#include "platform/WidePath.h"
#include "platform/Win32Api.h"

namespace {

struct TRegionalFormats {
  LCID Locale = LOCALE_USER_DEFAULT;
  std::string DatePicture = "M/d/yy";  // month, day, two-digit year
  std::string TimeSeparator = ":";
  bool HourLeadingZero = false;
  bool Clock24 = false;
  bool MarkBeforeTime = false;
  std::string Morning = "am";
  std::string Afternoon = "pm";
};

TRegionalFormats Formats;

// The locale's value, or false when the locale gives none.
bool LocaleValue(LCID locale, LCTYPE type, std::string& value) {
  char buffer[256];
  int n = Win32.GetLocaleInfoA(locale, type, buffer, sizeof buffer);
  if (n <= 0) return false;
  value.assign(buffer, static_cast<size_t>(n - 1));
  return true;
}

bool LocaleFlag(LCID locale, LCTYPE type, bool fallback) {
  std::string v;
  return LocaleValue(locale, type, v) && !v.empty() ? v[0] != '0' : fallback;
}

// The short-date picture with each "/" outside quotes standing for the
// locale's date separator, quoted so that no letter of it is a picture letter.
std::string WithDateSeparator(const std::string& picture, const std::string& separator) {
  std::string quoted = "'";
  for (char c : separator) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  quoted += "'";
  std::string out;
  bool inQuote = false;
  for (char c : picture) {
    if (c == '\'') inQuote = !inQuote;
    if (c == '/' && !inQuote)
      out += quoted;
    else
      out += c;
  }
  return out;
}

SYSTEMTIME ToSystemTime(const TCalendarTime& t) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(t.Year);
  st.wMonth = static_cast<WORD>(t.Month);
  st.wDay = static_cast<WORD>(t.Day);
  st.wHour = static_cast<WORD>(t.Hour);
  st.wMinute = static_cast<WORD>(t.Minute);
  st.wSecond = static_cast<WORD>(t.Second);
  return st;
}

TCalendarTime FromSystemTime(const SYSTEMTIME& st) {
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

TCalendarTime Now() {
  SYSTEMTIME st;
  Win32.GetLocalTime(&st);
  return FromSystemTime(st);
}

}  // namespace

void ReadRegionalFormats() {
  TRegionalFormats f;
  f.Locale = Win32.GetThreadLocale();
  std::string picture, separator;
  if (LocaleValue(f.Locale, LOCALE_SSHORTDATE, picture) && !picture.empty()) f.DatePicture = picture;
  if (LocaleValue(f.Locale, LOCALE_SDATE, separator))
    f.DatePicture = WithDateSeparator(f.DatePicture, separator);
  LocaleValue(f.Locale, LOCALE_STIME, f.TimeSeparator);
  f.HourLeadingZero = LocaleFlag(f.Locale, LOCALE_ITLZERO, false);
  f.Clock24 = LocaleFlag(f.Locale, LOCALE_ITIME, false);
  f.MarkBeforeTime = LocaleFlag(f.Locale, LOCALE_ITIMEMARKPOSN, false);
  LocaleValue(f.Locale, LOCALE_S1159, f.Morning);
  LocaleValue(f.Locale, LOCALE_S2359, f.Afternoon);
  Formats = f;
}

std::string FormatDate(const TCalendarTime& t) {
  const SYSTEMTIME st = ToSystemTime(t);
  char buffer[256];
  int n = Win32.GetDateFormatA(Formats.Locale, 0, &st, Formats.DatePicture.c_str(), buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n - 1)) : std::string();
}

std::string FormatTime(const TCalendarTime& t) {
  int hour = t.Hour;
  if (!Formats.Clock24) hour = hour % 12 == 0 ? 12 : hour % 12;
  char digits[16];
  std::snprintf(digits, sizeof digits, Formats.HourLeadingZero ? "%02d" : "%d", hour);
  char minutes[8], seconds[8];
  std::snprintf(minutes, sizeof minutes, "%02d", t.Minute);
  std::snprintf(seconds, sizeof seconds, "%02d", t.Second);
  std::string text = digits + Formats.TimeSeparator + minutes + Formats.TimeSeparator + seconds;
  if (Formats.Clock24) return text;
  const std::string& mark = t.Hour < 12 ? Formats.Morning : Formats.Afternoon;
  return Formats.MarkBeforeTime ? mark + " " + text : text + " " + mark;
}

std::string TLocaleDateText::Encoded(const std::string& ansi) const { return encoder_.Text(WidePath(ansi, cpAnsi)); }

std::string TLocaleDateText::CurrentDate() const { return Encoded(FormatDate(Now())); }

std::string TLocaleDateText::CurrentTime() const { return Encoded(FormatTime(Now())); }

void TLocaleDateText::FileDateTime(const TFileTime& time, std::string& date, std::string& timeText) const {
  FILETIME ft;
  ft.dwLowDateTime = time.Low;
  ft.dwHighDateTime = time.High;
  SYSTEMTIME st;
  if (!Win32.FileTimeToSystemTime(&ft, &st)) {
    date.clear();
    timeText.clear();
    return;
  }
  const TCalendarTime t = FromSystemTime(st);
  date = Encoded(FormatDate(t));
  timeText = Encoded(FormatTime(t));
}
