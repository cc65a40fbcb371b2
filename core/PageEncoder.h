// How a page writes text: the bytes of a page for UTF-16 text (UTF-32 where
// wchar_t is 32 bits wide, natively). The writers escape markup first, in
// UTF-16, and encode once, where the text goes onto the page, so that the
// references an encoder writes are never escaped again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Unicode.h"

class TPageEncoder {
 public:
  virtual ~TPageEncoder() = default;
  virtual std::string Text(std::wstring_view text) const = 0;
  // The character set a page written so declares; null for none (the
  // ANSI code page of the reader's system).
  virtual const char* Charset() const { return nullptr; }
};

// "&#N;" for a character, decimal, as browsers read it alike in text and in
// an address.
inline std::string CharacterReference(uint32_t codePoint) { return "&#" + std::to_string(codePoint) + ";"; }

// UTF-8.
class TUtf8Encoder final : public TPageEncoder {
 public:
  std::string Text(std::wstring_view text) const override { return Utf8Encode(text); }
  const char* Charset() const override { return "utf-8"; }
};

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
