#include "platform/SystemError.h"

#include "platform/Win32Api.h"

std::wstring SystemErrorText(uint32_t code) {
  wchar_t buffer[512];
  DWORD n = Win32.FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                 512, nullptr);
  while (n > 0 && (buffer[n - 1] == L'\r' || buffer[n - 1] == L'\n' || buffer[n - 1] == L' ')) --n;
  if (n == 0) {
    const std::string number = "error " + std::to_string(code);
    return std::wstring(number.begin(), number.end());
  }
  return std::wstring(buffer, n);
}
