#include "gallery/Placeholders.h"

#include "gallery/PathText.h"

#include <cstring>
#include <utility>

namespace {

// Position of the first match of placeholder in text at or after from.
size_t FindNoCase(std::string_view text, std::string_view placeholder, size_t from) {
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

// Writes text with every occurrence replaced into out, which holds
// `capacity` bytes (out may be null to measure only). Returns the length
// of the result, or npos when it would exceed capacity.
size_t ReplaceInto(std::string_view text, std::string_view placeholder, std::string_view value, char* out,
                   size_t capacity) {
  size_t length = 0, done = 0;
  auto put = [&](std::string_view piece) {
    if (piece.size() > capacity - length) return false;
    if (out && !piece.empty()) std::memcpy(out + length, piece.data(), piece.size());
    length += piece.size();
    return true;
  };
  for (size_t at = FindNoCase(text, placeholder, 0); at != std::string::npos;
       at = FindNoCase(text, placeholder, done)) {
    if (!put(text.substr(done, at - done)) || !put(value)) return std::string::npos;
    done = at + placeholder.size();
  }
  return put(text.substr(done)) ? length : std::string::npos;
}

// Calls step(placeholder, value) for the fifteen placeholders that occur
// in the line, in their order; the clock is read only where its text is
// asked for, anew for each line. Stops at the first step that fails.
template <typename TStep>
bool EachPlaceholder(std::string_view line, const TCurInfo& info, const TClockText& clock, TStep step) {
  const std::pair<std::string_view, const std::string*> fields[] = {
      {"%FULLNAME%", &info.FullName}, {"%NAME%", &info.Name},       {"%PATH%", &info.Path},
      {"%DATE%", &info.Date},         {"%TIME%", &info.Time},       {"%COLS%", &info.Cols},
      {"%SIZE%", &info.Size},         {"%WIDTH%", &info.Width},     {"%HEIGHT%", &info.Height},
      {"%TNWIDTH%", &info.TnWidth},   {"%TNHEIGHT%", &info.TnHeight}, {"%URL%", &info.Url},
      {"%THUMBURL%", &info.ThumbUrl},
  };
  // Nothing in a line without a percent sign can change; most lines of a
  // template are plain markup.
  if (line.find('%') == std::string_view::npos) return true;
  if (!step("%CURDATE%", [&] { return clock.CurrentDate(); })) return false;
  if (!step("%CURTIME%", [&] { return clock.CurrentTime(); })) return false;
  for (const auto& field : fields)
    if (!step(field.first, [&] { return *field.second; })) return false;
  return true;
}

}  // namespace

std::string ReplacePlaceholder(const std::string& placeholder, const std::string& value,
                               const std::string& text) {
  std::string out(ReplaceInto(text, placeholder, value, nullptr, std::string::npos), '\0');
  ReplaceInto(text, placeholder, value, &out[0], out.size());
  return out;
}

bool ApplyPlaceholders(std::string_view line, const TCurInfo& info, const TClockText& clock, TLineBuffers& buffers,
                       std::string_view& out) {
  // A line that no field changes is written as it stands, however long.
  out = line;
  TLargeBuffer* next = &buffers.First();
  return EachPlaceholder(line, info, clock, [&](std::string_view placeholder, auto value) {
    if (FindNoCase(out, placeholder, 0) == std::string::npos) return true;
    const size_t n = ReplaceInto(out, placeholder, value(), next->Data(), next->Capacity());
    if (n == std::string::npos) return false;
    next->SetSize(n);
    out = next->View();
    next = next == &buffers.First() ? &buffers.Second() : &buffers.First();
    return true;
  });
}

std::string ApplyPlaceholders(const std::string& line, const TCurInfo& info, const TClockText& clock) {
  std::string out = line;
  EachPlaceholder(line, info, clock, [&](std::string_view placeholder, auto value) {
    if (FindNoCase(out, placeholder, 0) != std::string::npos) out = ReplacePlaceholder(std::string(placeholder), value(), out);
    return true;
  });
  return out;
}
