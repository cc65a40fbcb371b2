#include "gallery/LocaleText.h"

#include "platform/WidePath.h"
#include "platform/Win32Api.h"

namespace {

struct TRegionalFormats {
  LCID Locale = LOCALE_USER_DEFAULT;
  std::wstring DatePicture = L"M/d/yy";  // month, day, two-digit year
  std::wstring TimeSeparator = L":";
  bool HourLeadingZero = false;
  bool Clock24 = false;
  bool MarkBeforeTime = false;
  std::wstring Morning = L"am";
  std::wstring Afternoon = L"pm";
};

TRegionalFormats Formats;

// The locale's value, or false when the locale gives none.
bool LocaleValue(LCID locale, LCTYPE type, std::wstring& value) {
  wchar_t buffer[256];
  int n = Win32.GetLocaleInfoW(locale, type, buffer, 256);
  if (n <= 0) return false;
  value.assign(buffer, static_cast<size_t>(n - 1));
  return true;
}

bool LocaleFlag(LCID locale, LCTYPE type, bool fallback) {
  std::wstring v;
  return LocaleValue(locale, type, v) && !v.empty() ? v[0] != L'0' : fallback;
}

// The short-date picture with each "/" outside quotes standing for the
// locale's date separator, quoted so that no letter of it is a picture letter.
std::wstring WithDateSeparator(const std::wstring& picture, const std::wstring& separator) {
  std::wstring quoted = L"'";
  for (wchar_t c : separator) quoted += c == L'\'' ? std::wstring(L"''") : std::wstring(1, c);
  quoted += L"'";
  std::wstring out;
  bool inQuote = false;
  for (wchar_t c : picture) {
    if (c == L'\'') inQuote = !inQuote;
    if (c == L'/' && !inQuote)
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

// A number in decimal digits, at least `digits` of them.
std::wstring Digits(int value, size_t digits) {
  const std::string text = std::to_string(value);
  std::wstring out(text.begin(), text.end());
  return out.size() < digits ? std::wstring(digits - out.size(), L'0') + out : out;
}

}  // namespace

void ReadRegionalFormats() {
  TRegionalFormats f;
  f.Locale = Win32.GetThreadLocale();
  std::wstring picture, separator;
  if (LocaleValue(f.Locale, LOCALE_SSHORTDATE, picture) && !picture.empty()) f.DatePicture = picture;
  if (LocaleValue(f.Locale, LOCALE_SDATE, separator)) f.DatePicture = WithDateSeparator(f.DatePicture, separator);
  LocaleValue(f.Locale, LOCALE_STIME, f.TimeSeparator);
  f.HourLeadingZero = LocaleFlag(f.Locale, LOCALE_ITLZERO, false);
  f.Clock24 = LocaleFlag(f.Locale, LOCALE_ITIME, false);
  f.MarkBeforeTime = LocaleFlag(f.Locale, LOCALE_ITIMEMARKPOSN, false);
  LocaleValue(f.Locale, LOCALE_S1159, f.Morning);
  LocaleValue(f.Locale, LOCALE_S2359, f.Afternoon);
  Formats = f;
}

std::wstring FormatDateText(const TCalendarTime& t) {
  const SYSTEMTIME st = ToSystemTime(t);
  wchar_t buffer[256];
  int n = Win32.GetDateFormatW(Formats.Locale, 0, &st, Formats.DatePicture.c_str(), buffer, 256);
  return n > 0 ? std::wstring(buffer, static_cast<size_t>(n - 1)) : std::wstring();
}

std::wstring FormatTimeText(const TCalendarTime& t) {
  int hour = t.Hour;
  if (!Formats.Clock24) hour = hour % 12 == 0 ? 12 : hour % 12;
  std::wstring text = Digits(hour, Formats.HourLeadingZero ? 2 : 1) + Formats.TimeSeparator + Digits(t.Minute, 2) +
                      Formats.TimeSeparator + Digits(t.Second, 2);
  if (Formats.Clock24) return text;
  const std::wstring& mark = t.Hour < 12 ? Formats.Morning : Formats.Afternoon;
  return Formats.MarkBeforeTime ? mark + L" " + text : text + L" " + mark;
}

std::string FormatDate(const TCalendarTime& t) { return AnsiText(FormatDateText(t)); }

std::string FormatTime(const TCalendarTime& t) { return AnsiText(FormatTimeText(t)); }

std::string TLocaleDateText::CurrentDate() const { return encoder_.Text(FormatDateText(Now())); }

std::string TLocaleDateText::CurrentTime() const { return encoder_.Text(FormatTimeText(Now())); }

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
  date = encoder_.Text(FormatDateText(t));
  timeText = encoder_.Text(FormatTimeText(t));
}
