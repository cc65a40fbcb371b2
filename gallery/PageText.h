// How a page writes text: the bytes of a page for UTF-16 text (UTF-32 where
// wchar_t is 32 bits wide, natively). The writers escape markup first, in
// UTF-16, and encode once, where the text goes onto the page, so that the
// references an encoder writes are never escaped again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TPageEncoder {
 public:
  virtual ~TPageEncoder() = default;
  virtual std::string Text(std::wstring_view text) const = 0;
};

// Calls f(codePoint) for each character: a surrogate pair as one, a lone
// surrogate (or a value beyond Unicode) as U+FFFD.
template <typename F>
void EachCodePoint(std::wstring_view text, F f) {
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(text[++i]) - 0xDC00);
    else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
      c = 0xFFFD;
    f(c);
  }
}

// "&#N;" for a character, decimal, as browsers read it alike in text and in
// an address.
inline std::string CharacterReference(uint32_t codePoint) { return "&#" + std::to_string(codePoint) + ";"; }

// Every character beyond ASCII as a character reference: the text reads the
// same whatever the page's own encoding is.
class TAsciiEncoder final : public TPageEncoder {
 public:
  std::string Text(std::wstring_view text) const override {
    std::string out;
    out.reserve(text.size());
    EachCodePoint(text, [&](uint32_t c) { c < 0x80 ? out += static_cast<char>(c) : out += CharacterReference(c); });
    return out;
  }
};
