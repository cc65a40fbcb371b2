// Pages in the ANSI code page: each character that the code page has
// becomes its bytes, every other one a character reference, never the
// "best fit" of another letter (which would link another file).
#pragma once

#include "core/PageEncoder.h"

class TAnsiEncoder final : public TPageEncoder {
 public:
  std::string Text(std::wstring_view text) const override;
};
