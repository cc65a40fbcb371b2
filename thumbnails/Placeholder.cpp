#include "thumbnails/Placeholder.h"

#include "imageinfo/DCImageInfo.h"

const char* FormatName(uint8_t imageType) {
  switch (imageType) {
    case itGIF: return "GIF";
    case itJPEG: return "JPEG";
    case itPNG: return "PNG";
    case itBMP: return "BMP";
    case itPCX: return "PCX";
    case itTIFF: return "TIFF";
    case itWebP: return "WebP";
    case itAVIF: return "AVIF";
    case itHEIF: return "HEIC";
    case itJXL: return "JPEG XL";
    case itICO: return "ICO";
    case itSVG: return "SVG";
    default: return "?";
  }
}

std::string PlaceholderSvg(uint8_t imageType, int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight) {
  const int32_t w = boxWidth > 0 ? boxWidth : 120, h = boxHeight > 0 ? boxHeight : 100;
  const std::string size = width > 0 && height > 0 ? std::to_string(width) + "\xC3\x97" + std::to_string(height) : "";
  const std::string label = std::string(FormatName(imageType)) + (size.empty() ? "" : " \xC2\xB7 " + size);
  // Text of about a tenth of the box's width, so that the label fits.
  const int32_t font = w / 10 > 6 ? w / 10 : 6;
  const std::string sw = std::to_string(w), sh = std::to_string(h);
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + sw + "\" height=\"" + sh + "\" viewBox=\"0 0 " + sw +
         " " + sh + "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#3a3a3a\" stroke=\"#888\" stroke-width=\"2\"/>\n"
         "<text x=\"50%\" y=\"50%\" fill=\"#ddd\" font-family=\"sans-serif\" font-size=\"" + std::to_string(font) +
         "\" text-anchor=\"middle\" dominant-baseline=\"middle\">" + label + "</text>\n</svg>\n";
}
