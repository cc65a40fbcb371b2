// Placeholder substitution and template lines over arbitrary input: any
// line, any record, never a crash, always an end, and no text that a
// replacement inserted is searched again for the same placeholder.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gallery/Placeholders.h"
#include "gallery/TemplatePage.h"

namespace {

class TClock final : public TClockText {
 public:
  explicit TClock(std::string text) : text_(std::move(text)) {}
  std::string CurrentDate() const override { return text_; }
  std::string CurrentTime() const override { return text_ + "%CURTIME%"; }

 private:
  std::string text_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Fields separated by 0x01: the line, then the record's thirteen texts.
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 1)
      parts.emplace_back();
    else
      parts.back() += static_cast<char>(data[i]);
  }
  parts.resize(15);
  TCurInfo info{parts[1], parts[2], parts[3], parts[4],  parts[5],  parts[6], parts[7],
                parts[8], parts[9], parts[10], parts[11], parts[12], parts[13]};
  const std::string& line = parts[0];
  const std::string page = ApplyPlaceholders(line, info, TClock(parts[14]));
  if (line.find('%') == std::string::npos && page != line) std::abort();

  // One placeholder at a time: each occurrence becomes the value, once.
  // Neither the line nor the value holds 0x01, so it marks the occurrences.
  const std::string& value = parts[1];
  const std::string marked = ReplacePlaceholder("%NAME%", "\x01", line);
  size_t count = 0;
  for (char c : marked) count += c == '\x01';
  const std::string replaced = ReplacePlaceholder("%NAME%", value, line);
  if (replaced.size() != line.size() + count * value.size() - count * 6) std::abort();

  for (const std::string& l : SplitTemplateLines(line))
    if (l.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
  return 0;
}
