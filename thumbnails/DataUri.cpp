#include "thumbnails/DataUri.h"

#include <cstdint>

std::string JpegDataUri(std::string_view jpeg) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string uri = "data:image/jpeg;base64,";
  uri.reserve(uri.size() + (jpeg.size() + 2) / 3 * 4);
  for (size_t i = 0; i < jpeg.size(); i += 3) {
    const uint32_t b0 = static_cast<uint8_t>(jpeg[i]);
    const uint32_t b1 = i + 1 < jpeg.size() ? static_cast<uint8_t>(jpeg[i + 1]) : 0;
    const uint32_t b2 = i + 2 < jpeg.size() ? static_cast<uint8_t>(jpeg[i + 2]) : 0;
    const uint32_t v = b0 << 16 | b1 << 8 | b2;
    uri += kDigits[v >> 18];
    uri += kDigits[v >> 12 & 63];
    uri += i + 1 < jpeg.size() ? kDigits[v >> 6 & 63] : '=';
    uri += i + 2 < jpeg.size() ? kDigits[v & 63] : '=';
  }
  return uri;
}
