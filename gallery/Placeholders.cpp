#include "gallery/Placeholders.h"

#include "gallery/PathText.h"

namespace {

// Position of the first match of placeholder in text at or after from.
size_t FindNoCase(const std::string& text, const std::string& placeholder, size_t from) {
  const size_t n = placeholder.size();
  if (n == 0 || text.size() < n) return std::string::npos;
  const char first = UpperAscii(placeholder[0]);
  for (size_t i = from; i + n <= text.size(); ++i) {
    if (UpperAscii(text[i]) != first) continue;
    size_t k = 1;
    while (k < n && UpperAscii(text[i + k]) == UpperAscii(placeholder[k])) ++k;
    if (k == n) return i;
  }
  return std::string::npos;
}

}  // namespace

std::string ReplacePlaceholder(const std::string& placeholder, const std::string& value,
                               const std::string& text) {
  size_t at = FindNoCase(text, placeholder, 0);
  if (at == std::string::npos) return text;
  std::string out;
  size_t done = 0;
  while (at != std::string::npos) {
    out.append(text, done, at - done);
    out += value;
    done = at + placeholder.size();
    at = FindNoCase(text, placeholder, done);
  }
  out.append(text, done, std::string::npos);
  return out;
}

std::string ApplyPlaceholders(const std::string& line, const TCurInfo& info, const TClockText& clock) {
  // Nothing in a line without a percent sign can change; most lines of a
  // template are plain markup.
  if (line.find('%') == std::string::npos) return line;
  static const std::string kCurDate = "%CURDATE%", kCurTime = "%CURTIME%";
  std::string s = line;
  // The clock is read only where its text is asked for, anew for each line.
  if (FindNoCase(s, kCurDate, 0) != std::string::npos) s = ReplacePlaceholder(kCurDate, clock.CurrentDate(), s);
  if (FindNoCase(s, kCurTime, 0) != std::string::npos) s = ReplacePlaceholder(kCurTime, clock.CurrentTime(), s);
  s = ReplacePlaceholder("%FULLNAME%", info.FullName, s);
  s = ReplacePlaceholder("%NAME%", info.Name, s);
  s = ReplacePlaceholder("%PATH%", info.Path, s);
  s = ReplacePlaceholder("%DATE%", info.Date, s);
  s = ReplacePlaceholder("%TIME%", info.Time, s);
  s = ReplacePlaceholder("%COLS%", info.Cols, s);
  s = ReplacePlaceholder("%SIZE%", info.Size, s);
  s = ReplacePlaceholder("%WIDTH%", info.Width, s);
  s = ReplacePlaceholder("%HEIGHT%", info.Height, s);
  s = ReplacePlaceholder("%TNWIDTH%", info.TnWidth, s);
  s = ReplacePlaceholder("%TNHEIGHT%", info.TnHeight, s);
  return s;
}
