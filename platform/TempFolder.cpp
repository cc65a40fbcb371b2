#include "platform/TempFolder.h"

#include "platform/Win32Api.h"

namespace {
constexpr DWORD kTempPathBuffer = 1024;
}  // namespace

std::wstring GetTempFolder() {
  wchar_t buffer[kTempPathBuffer];
  DWORD n = Win32.GetTempPathW(kTempPathBuffer, buffer);
  // A result of the buffer's size or more is the length it would need.
  if (n == 0 || n >= kTempPathBuffer) return std::wstring();
  return std::wstring(buffer, n);
}
