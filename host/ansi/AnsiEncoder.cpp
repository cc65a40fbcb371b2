#include "host/ansi/AnsiEncoder.h"

#include "platform/Win32Api.h"

std::string TAnsiEncoder::Text(std::wstring_view text) const {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    // One character: a surrogate pair, or one unit.
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    const int units = pair ? 2 : 1;
    char bytes[8];
    BOOL lacking = FALSE;
    const int n = Win32.WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &text[i], units, bytes, sizeof bytes,
                                            nullptr, &lacking);
    if (n > 0 && !lacking) {
      out.append(bytes, static_cast<size_t>(n));
    } else {
      EachCodePoint(text.substr(i, units), [&](uint32_t code) { out += CharacterReference(code); });
    }
    i += units - 1;
  }
  return out;
}
