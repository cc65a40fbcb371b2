#include "gallery/PathText.h"

#include <cmath>
#include <limits>

namespace {

size_t LastSeparator(std::string_view path) { return path.find_last_of("\\:"); }


// Days from 1 March of year 0 in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

template <typename TChar>
bool StartsWithNoCase(std::basic_string_view<TChar> s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const TChar c = s[i];
    // Only a to z fold; any character beyond ASCII differs from the prefix.
    const TChar upper = c >= 'a' && c <= 'z' ? static_cast<TChar>(c - 'a' + 'A') : c;
    if (upper != static_cast<TChar>(UpperAscii(prefix[i]))) return false;
  }
  return true;
}

template <typename TChar>
bool IsPageName(std::basic_string_view<TChar> name) {
  if (name.size() < 9 || !StartsWithNoCase(name, "galv") || !StartsWithNoCase(name.substr(name.size() - 4), ".htm"))
    return false;
  for (size_t i = 4; i < name.size() - 4; ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  return true;
}

}  // namespace

std::string AddBackslash(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

std::wstring AddBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

std::string FolderPart(std::string_view path) {
  size_t at = LastSeparator(path);
  return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::wstring FolderPart(std::wstring_view path) {
  size_t at = path.find_last_of(L"\\:");
  return at == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, at + 1));
}

std::wstring NamePart(std::wstring_view path) {
  size_t at = path.find_last_of(L"\\:");
  return std::wstring(at == std::wstring_view::npos ? path : path.substr(at + 1));
}

std::string NamePart(std::string_view path) {
  size_t at = LastSeparator(path);
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

bool EndsRow(int index, int32_t perRow) { return perRow != 0 && (int64_t{index} + 1) % perRow == 0; }

namespace {

template <typename TChar>
std::basic_string<TChar> Html(std::basic_string_view<TChar> text) {
  std::basic_string<TChar> out;
  out.reserve(text.size());
  auto put = [&](const char* reference) {
    while (*reference) out += static_cast<TChar>(*reference++);
  };
  for (TChar c : text) {
    switch (c) {
      case '"': put("&quot;"); break;
      case '<': put("&lt;"); break;
      case '>': put("&gt;"); break;
      case '&': put("&amp;"); break;
      case '\'': put("&#39;"); break;
      default: out += c;
    }
  }
  return out;
}

template <typename TChar>
std::basic_string<TChar> Url(std::basic_string_view<TChar> path) {
  std::basic_string<TChar> escaped;
  escaped.reserve(path.size());
  for (TChar c : path) {
    if (c == '%' || c == '#') {
      escaped += '%';
      escaped += '2';
      escaped += c == '%' ? '5' : '3';
    } else {
      escaped += c;
    }
  }
  std::basic_string<TChar> url;
  for (char c : std::string_view("file://localhost/")) url += static_cast<TChar>(c);
  return url + Html(std::basic_string_view<TChar>(escaped));
}

}  // namespace

std::string HtmlText(std::string_view text) { return Html(text); }
std::wstring HtmlText(std::wstring_view text) { return Html(text); }
std::string FileUrl(std::string_view path) { return Url(path); }
std::wstring FileUrl(std::wstring_view path) { return Url(path); }

std::string BareFileUrl(std::string_view utf8Path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string url = "file://localhost/";
  for (char c : utf8Path) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool kept = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
                      std::string_view("-._~!$()*+,;:@/\\").find(c) != std::string_view::npos;
    if (kept) {
      url += c;
    } else {
      url += '%';
      url += kHex[u >> 4];
      url += kHex[u & 15];
    }
  }
  return url;
}

int64_t PageTimeNumber(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  const int64_t days = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
  const int64_t msOfDay = ((int64_t{hour} * 60 + minute) * 60 + second) * 1000 + millisecond;
  // One step of the number is 8640 ms, a ten-thousandth of a day.
  return days * 10000 + msOfDay / 8640;
}

bool IsGeneratedPageName(std::string_view name) { return IsPageName(name); }

bool IsGeneratedPageName(std::wstring_view name) { return IsPageName(name); }

int32_t RandomPageNumber(uint32_t seed) {
  // One step of a 32-bit linear congruential generator gives a uniform real
  // in [0, 1); the page number is that real times 200, truncated.
  const uint32_t next = seed * 134775813u + 1u;
  return static_cast<int32_t>(next * (200.0 / 4294967296.0));
}
