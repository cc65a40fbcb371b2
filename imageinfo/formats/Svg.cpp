// SVG: a text file (UTF-8, with or without a byte-order mark) whose first
// element, after the XML declaration, comments, processing instructions and
// the DOCTYPE, is <svg within the first 64 KB. Its width and height are
// lengths in CSS units; a side that is missing, a percentage or in another
// unit is unknown and follows from the other side and the viewBox, as a
// browser sizes an <img> of it (with neither side, the viewBox's ratio fits
// inside 300 x 150).
#include "imageinfo/formats/Formats.h"

#include <cstring>
#include <string_view>

namespace formats {

namespace {

constexpr size_t kElementWindow = 64 * 1024;
// Room for the attributes of a start tag that begins near the window's end.
constexpr size_t kTagRoom = 4096;
constexpr double kDefaultWidth = 300, kDefaultHeight = 150;

bool Space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where <svg starts in text, or npos: only the prolog may stand before it.
// `ranOut` says that the text ended before the answer was known.
size_t FindSvgElement(std::string_view text, bool& ranOut) {
  ranOut = false;
  size_t i = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  for (;;) {
    while (i < text.size() && Space(text[i])) ++i;
    if (i >= kElementWindow) return std::string_view::npos;
    if (i + 5 > text.size()) {
      ranOut = true;
      return std::string_view::npos;
    }
    if (text[i] != '<') return std::string_view::npos;
    const std::string_view rest = text.substr(i);
    size_t end = std::string_view::npos;
    if (rest.substr(0, 2) == "<?") {
      end = rest.find("?>");
      if (end != std::string_view::npos) end += 2;
    } else if (rest.substr(0, 4) == "<!--") {
      end = rest.find("-->", 4);
      if (end != std::string_view::npos) end += 3;
    } else if (rest.substr(0, 9) == "<!DOCTYPE") {
      // An internal subset in brackets may hold '>' of its own.
      const size_t bracket = rest.find_first_of("[>");
      const size_t from = bracket != std::string_view::npos && rest[bracket] == '[' ? rest.find(']', bracket) : bracket;
      end = from == std::string_view::npos ? from : rest.find('>', from);
      if (end != std::string_view::npos) end += 1;
    } else if (rest.substr(0, 4) == "<svg" && (rest.size() == 4 || Space(rest[4]) || rest[4] == '>' || rest[4] == '/')) {
      return i;
    } else {
      return std::string_view::npos;
    }
    if (end == std::string_view::npos) {
      ranOut = true;
      return std::string_view::npos;
    }
    i += end;
  }
}

// The text of the file's start: `wanted` bytes, or as many as it has.
std::string_view Text(TBlockReader& in, size_t wanted) {
  const uint8_t* data = nullptr;
  const size_t n = in.View(0, static_cast<size_t>(std::min<uint64_t>(in.Size(), wanted)), wanted, data);
  return std::string_view(reinterpret_cast<const char*>(data), n);
}

// The start of the <svg element and the text around it: the first read
// of the file when that settles it, else the whole of the 64 KB window.
size_t FindSvgElement(TBlockReader& in, std::string_view& text) {
  bool ranOut = false;
  text = Text(in, kFirstRead);
  size_t at = FindSvgElement(text, ranOut);
  if (ranOut && text.size() < in.Size()) {
    text = Text(in, kElementWindow + kTagRoom);
    at = FindSvgElement(text, ranOut);
  }
  return at;
}

// A number: digits with an optional fraction and exponent. Advances at.
bool Number(std::string_view s, size_t& at, double& value) {
  size_t i = at;
  if (i < s.size() && s[i] == '+') ++i;
  const size_t start = i;
  double v = 0;
  bool digits = false;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, digits = true) v = v * 10 + (s[i] - '0');
  if (i < s.size() && s[i] == '.') {
    double scale = 0.1;
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, scale /= 10, digits = true) v += (s[i] - '0') * scale;
  }
  if (!digits || i == start) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    bool negative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) negative = s[j++] == '-';
    int exponent = 0;
    bool any = false;
    for (; j < s.size() && s[j] >= '0' && s[j] <= '9' && exponent < 400; ++j, any = true) exponent = exponent * 10 + (s[j] - '0');
    if (any) {
      // No maths library: the DLL imports only what every Windows has.
      for (int k = 0; k < exponent; ++k) v = negative ? v / 10 : v * 10;
      i = j;
    }
  }
  at = i;
  value = v;
  return true;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

// A length attribute in CSS pixels; false for a percentage, another unit
// or no number at all.
bool Length(std::string_view s, double& px) {
  size_t a = 0, b = s.size();
  while (a < b && Space(s[a])) ++a;
  while (b > a && Space(s[b - 1])) --b;
  s = s.substr(a, b - a);
  size_t at = 0;
  double v;
  if (!Number(s, at, v)) return false;
  const std::string_view unit = s.substr(at);
  static const struct {
    const char* Name;
    double Scale;
  } kUnits[] = {{"", 1},           {"px", 1},           {"pt", 4.0 / 3},           {"pc", 16},       {"in", 96},
                {"cm", 96 / 2.54}, {"mm", 96 / 25.4},   {"q", 96 / 101.6},         {"em", 16}};
  for (const auto& u : kUnits) {
    if (EqualNoCase(unit, u.Name)) {
      px = v * u.Scale;
      return true;
    }
  }
  return false;
}

// The viewBox's width and height (its third and fourth numbers), when both
// are above 0.
bool ViewBox(std::string_view s, double& w, double& h) {
  double v[4];
  size_t at = 0;
  for (double& x : v) {
    while (at < s.size() && (Space(s[at]) || s[at] == ',')) ++at;
    bool negative = at < s.size() && s[at] == '-';
    if (negative) ++at;
    if (!Number(s, at, x)) return false;
    if (negative) x = -x;
  }
  w = v[2];
  h = v[3];
  return w > 0 && h > 0;
}

struct TSvgSize {
  std::string_view Width, Height, ViewBox;
  bool HasWidth = false, HasHeight = false, HasViewBox = false;
};

// The attributes of the start tag at text[from]; false when the tag does
// not end within the text.
bool Attributes(std::string_view text, size_t from, TSvgSize& svg) {
  size_t i = from + 4;
  for (;;) {
    while (i < text.size() && Space(text[i])) ++i;
    if (i >= text.size()) return false;
    if (text[i] == '>' || text[i] == '/') return true;
    const size_t name = i;
    while (i < text.size() && !Space(text[i]) && text[i] != '=' && text[i] != '>' && text[i] != '/') ++i;
    const std::string_view attribute = text.substr(name, i - name);
    while (i < text.size() && Space(text[i])) ++i;
    if (i >= text.size()) return false;
    if (text[i] != '=') continue;
    ++i;
    while (i < text.size() && Space(text[i])) ++i;
    if (i >= text.size()) return false;
    std::string_view value;
    if (text[i] == '"' || text[i] == '\'') {
      const size_t close = text.find(text[i], i + 1);
      if (close == std::string_view::npos) return false;
      value = text.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      const size_t start = i;
      while (i < text.size() && !Space(text[i]) && text[i] != '>') ++i;
      value = text.substr(start, i - start);
    }
    // The first occurrence counts.
    if (attribute == "width" && !svg.HasWidth) svg.Width = value, svg.HasWidth = true;
    if (attribute == "height" && !svg.HasHeight) svg.Height = value, svg.HasHeight = true;
    if (attribute == "viewBox" && !svg.HasViewBox) svg.ViewBox = value, svg.HasViewBox = true;
  }
}

}  // namespace

bool IsGzip(const uint8_t* head, size_t n) { return n >= 2 && head[0] == 0x1F && head[1] == 0x8B; }

bool IsSVG(TBlockReader& in, const uint8_t* head, size_t n) {
  // Most files are no text beginning with '<': they cost nothing more.
  size_t i = n >= 3 && std::memcmp(head, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
  while (i < n && Space(static_cast<char>(head[i]))) ++i;
  if (i < n ? head[i] != '<' : n == in.Size()) return false;
  std::string_view text;
  return FindSvgElement(in, text) != std::string_view::npos;
}

void ReadSVG(TDCImageInfo& info, TBlockReader& in) {
  info.ImageType = itSVG;
  info.Depth = 32;
  std::string_view text;
  size_t at = FindSvgElement(in, text);
  TSvgSize svg;
  // A start tag that reaches past the first read: the whole window.
  if (at != std::string_view::npos && !Attributes(text, at, svg) && text.size() < in.Size()) {
    text = Text(in, kElementWindow + kTagRoom);
    svg = TSvgSize();
  }
  if (at == std::string_view::npos || !Attributes(text, at, svg)) {
    in.Fail(text.size() < in.Size() ? pfDamaged : pfTruncated);
    return;
  }
  double w = 0, h = 0, boxW = 0, boxH = 0;
  const bool knownW = svg.HasWidth && Length(svg.Width, w);
  const bool knownH = svg.HasHeight && Length(svg.Height, h);
  const bool ratio = svg.HasViewBox && ViewBox(svg.ViewBox, boxW, boxH);
  if (!knownW && !knownH) {
    // A ratio alone: the largest size of that ratio inside 300 x 150.
    w = kDefaultWidth;
    h = kDefaultHeight;
    if (ratio && boxW * kDefaultHeight >= boxH * kDefaultWidth) h = kDefaultWidth * boxH / boxW;
    else if (ratio) w = kDefaultHeight * boxW / boxH;
  } else if (!knownW) {
    w = ratio ? h * boxW / boxH : kDefaultWidth;
  } else if (!knownH) {
    h = ratio ? w * boxH / boxW : kDefaultHeight;
  }
  // Rounded to the nearest pixel, halves up.
  if (!(w >= 0 && w < 2147483647.0 && h >= 0 && h < 2147483647.0)) {
    in.Fail(pfDamaged);
    return;
  }
  info.Width = static_cast<int32_t>(w + 0.5);
  info.Height = static_cast<int32_t>(h + 0.5);
}

}  // namespace formats
