// %PLACEHOLDER% fields of template lines.
#pragma once

#include <cstddef>
#include <string>

// The per-image texts of a template page. All start empty.
struct TCurInfo {
  std::string Cols;
  std::string FullName;
  std::string Name;
  std::string Path;
  std::string Date;
  std::string Time;
  std::string Size;
  std::string Width;
  std::string Height;
  std::string TnWidth;
  std::string TnHeight;
};

// The current local date and time of day, in the user's formats.
class TClockText {
 public:
  virtual ~TClockText() = default;
  virtual std::string CurrentDate() const = 0;
  virtual std::string CurrentTime() const = 0;
};

// The text with every occurrence of the placeholder replaced by the value.
// Letters a to z match without regard to case; inserted text is never
// searched again, so the call always ends.
std::string ReplacePlaceholder(const std::string& placeholder, const std::string& value,
                               const std::string& text);

// Longest page line that substitution makes for the template writer: file
// names can hold placeholders of their own, so a line of a 16 MB template
// could otherwise grow without a useful bound.
constexpr size_t kMaxPageLine = 32u << 20;

// One template line made into a page line: the thirteen placeholders are
// replaced in a fixed order, the current date and time first. False when the
// line would grow beyond limit; out is then not a page line.
bool ApplyPlaceholders(const std::string& line, const TCurInfo& info, const TClockText& clock, std::string& out,
                       size_t limit);
// The same without a bound.
std::string ApplyPlaceholders(const std::string& line, const TCurInfo& info, const TClockText& clock);
