// %PLACEHOLDER% fields of template lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/LargeMemory.h"

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
  std::string Url;       // the picture's file://localhost/ address, escaped as the built-in page's
  std::string ThumbUrl;  // its copy's address, or the picture's own where it has none
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
// names can hold placeholders of their own, so a template line could
// otherwise grow without a useful bound.
constexpr size_t kMaxPageLine = 1u << 20;

// The two blocks in which the template writer builds its lines, each
// holding a line of up to kMaxPageLine bytes; allocated once per page.
class TLineBuffers {
 public:
  // False when there is no memory for them.
  bool Allocate() { return a_.Allocate(kMaxPageLine) && b_.Allocate(kMaxPageLine); }
  TLargeBuffer& First() { return a_; }
  TLargeBuffer& Second() { return b_; }

 private:
  TLargeBuffer a_, b_;
};

// One template line made into a page line: the fifteen placeholders are
// replaced in a fixed order, the current date and time first. The result
// lies in one of the buffers (or is the line itself when no field changes
// it); false when placeholders would make it longer than kMaxPageLine.
bool ApplyPlaceholders(std::string_view line, const TCurInfo& info, const TClockText& clock, TLineBuffers& buffers,
                       std::string_view& out);
// The same without a bound.
std::string ApplyPlaceholders(const std::string& line, const TCurInfo& info, const TClockText& clock);
