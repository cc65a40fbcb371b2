#include "gallery/Placeholders.h"

#include "gallery/PathText.h"

#include <string_view>
#include <utility>

namespace {

// Position of the first match of placeholder in text at or after from.
size_t FindNoCase(const std::string& text, std::string_view placeholder, size_t from) {
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

// Replaces every occurrence in place; false, with the text unchanged, when
// the result would be longer than limit.
bool ReplaceBounded(std::string_view placeholder, const std::string& value, std::string& text, size_t limit) {
  size_t at = FindNoCase(text, placeholder, 0);
  if (at == std::string::npos) return true;
  std::string out;
  size_t done = 0;
  while (at != std::string::npos) {
    if (out.size() + (at - done) + value.size() > limit) return false;
    out.append(text, done, at - done);
    out += value;
    done = at + placeholder.size();
    at = FindNoCase(text, placeholder, done);
  }
  if (out.size() + (text.size() - done) > limit) return false;
  out.append(text, done, std::string::npos);
  text.swap(out);
  return true;
}

}  // namespace

std::string ReplacePlaceholder(const std::string& placeholder, const std::string& value,
                               const std::string& text) {
  std::string out = text;
  ReplaceBounded(placeholder, value, out, std::string::npos);
  return out;
}

bool ApplyPlaceholders(const std::string& line, const TCurInfo& info, const TClockText& clock, std::string& out,
                       size_t limit) {
  out = line;
  // Nothing in a line without a percent sign can change; most lines of a
  // template are plain markup.
  if (line.find('%') == std::string::npos) return out.size() <= limit;
  constexpr std::string_view kCurDate = "%CURDATE%", kCurTime = "%CURTIME%";
  // The clock is read only where its text is asked for, anew for each line.
  if (FindNoCase(out, kCurDate, 0) != std::string::npos &&
      !ReplaceBounded(kCurDate, clock.CurrentDate(), out, limit))
    return false;
  if (FindNoCase(out, kCurTime, 0) != std::string::npos &&
      !ReplaceBounded(kCurTime, clock.CurrentTime(), out, limit))
    return false;
  const std::pair<std::string_view, const std::string*> fields[] = {
      {"%FULLNAME%", &info.FullName}, {"%NAME%", &info.Name},       {"%PATH%", &info.Path},
      {"%DATE%", &info.Date},         {"%TIME%", &info.Time},       {"%COLS%", &info.Cols},
      {"%SIZE%", &info.Size},         {"%WIDTH%", &info.Width},     {"%HEIGHT%", &info.Height},
      {"%TNWIDTH%", &info.TnWidth},   {"%TNHEIGHT%", &info.TnHeight},
  };
  for (const auto& field : fields)
    if (!ReplaceBounded(field.first, *field.second, out, limit)) return false;
  return true;
}

std::string ApplyPlaceholders(const std::string& line, const TCurInfo& info, const TClockText& clock) {
  std::string out;
  ApplyPlaceholders(line, info, clock, out, std::string::npos);
  return out;
}
