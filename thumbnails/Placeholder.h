// The stand-in for a picture that nothing could decode: an SVG of the
// thumbnail box's proportions that names the format and the size
// ("HEIC · 4032×3024"), so the page never shows a broken image.
#pragma once

#include <cstdint>
#include <string>

// The format's name for a probe type, or "?" for none.
const char* FormatName(uint8_t imageType);

// The SVG text (UTF-8) for a picture of that type and size (0 x 0: not
// known) in a box of boxWidth x boxHeight.
std::string PlaceholderSvg(uint8_t imageType, int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);
