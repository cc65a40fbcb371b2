#include "platform/WidePath.h"

#include <climits>

#include "platform/Win32Api.h"

namespace {

std::wstring Widen(const std::string& text, UINT codePage) {
  if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return std::wstring();
  const int length = static_cast<int>(text.size());
  // A single-byte or double-byte character never becomes more than one
  // UTF-16 unit, so the text's length is room enough.
  std::wstring wide(text.size(), L'\0');
  const int n = Win32.MultiByteToWideChar(codePage, 0, text.data(), length, &wide[0], length);
  wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return wide;
}

}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0) return path;
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

std::wstring WidePath(const std::string& path, TCodePage codePage) {
  return Widen(path, codePage == cpOem ? CP_OEMCP : CP_ACP);
}

namespace {

std::string Narrow(const std::wstring& text, UINT codePage) {
  if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return std::string();
  const int length = static_cast<int>(text.size());
  // Measured first: the code page may be UTF-8 (a system set to use it
  // for every language), three bytes for one UTF-16 unit.
  const int needed = Win32.WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string out(static_cast<size_t>(needed), '\0');
  const int n = Win32.WideCharToMultiByte(codePage, 0, text.data(), length, &out[0], needed, nullptr, nullptr);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

}  // namespace

std::string OemText(const std::wstring& text) { return Narrow(text, CP_OEMCP); }

std::string AnsiText(const std::wstring& text) { return Narrow(text, CP_ACP); }
