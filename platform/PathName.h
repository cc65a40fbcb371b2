// A path together with the code page of its bytes. Names from the host are
// OEM text, the page and the clipboard want ANSI text, and the file system
// is reached through the wide functions: a path keeps its code page until
// the one place where it is converted, exactly, to open the file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

enum TCodePage : uint8_t { cpAnsi, cpOem };

struct TPathName {
  TPathName() = default;
  TPathName(std::string text, TCodePage codePage) : Text(std::move(text)), CodePage(codePage) {}

  std::string Text;
  TCodePage CodePage = cpAnsi;
};
