// The settings dialog's number parser over arbitrary text, held to its rules.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/NumberText.h"

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The rules, checked the long way: spaces, then a signed decimal in range or
// "$" and at most eight significant hex digits, then nothing.
bool Valid(std::string_view t, int64_t& value) {
  size_t i = t.find_first_not_of(' ');
  if (i == std::string_view::npos) return false;
  t.remove_prefix(i);
  if (t[0] == '$') {
    std::string_view digits = t.substr(1);
    if (digits.empty()) return false;
    for (char c : digits)
      if (!IsHex(c)) return false;
    size_t lead = digits.find_first_not_of('0');
    std::string_view significant = lead == std::string_view::npos ? std::string_view() : digits.substr(lead);
    if (significant.size() > 8) return false;
    value = significant.empty() ? 0 : static_cast<int32_t>(std::stoul(std::string(significant), nullptr, 16));
    return true;
  }
  bool negative = t[0] == '-';
  if (t[0] == '+' || t[0] == '-') t.remove_prefix(1);
  if (t.empty()) return false;
  for (char c : t)
    if (c < '0' || c > '9') return false;
  size_t lead = t.find_first_not_of('0');
  std::string_view significant = lead == std::string_view::npos ? std::string_view("0") : t.substr(lead);
  if (significant.size() > 10) return false;
  int64_t v = std::stoll(std::string(significant));
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = v;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int32_t got = 0x5A5A5A5A;
  const bool ok = ParseConfigNumber(text, got);
  int64_t want = 0;
  if (ok != Valid(text, want)) std::abort();
  if (!ok && got != 0x5A5A5A5A) std::abort();  // a rejected text leaves the value alone
  if (ok && got != want) std::abort();
  if (ok) {
    int32_t again = 0;
    if (!ParseConfigNumber(DecimalText(got), again) || again != got) std::abort();
  }
  return 0;
}
