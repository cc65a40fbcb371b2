// The code page of a narrow text: names from the 1.x host are OEM text,
// ANSI is what the system's narrow functions and the 1.x pages use. Such a
// text is converted, exactly, to UTF-16 where it meets the wide functions.
#pragma once

#include <cstdint>

enum TCodePage : uint8_t { cpAnsi, cpOem };
