#include "platform/Win32Api.h"

namespace {

const TWin32Api kReal = {
    ::CreateFileA,        ::ReadFile,           ::WriteFile,        ::CloseHandle,
    ::GetFileSizeEx,      ::SetFilePointerEx,   ::GetTempPathA,     ::FindFirstFileA,
    ::FindNextFileA,      ::FindClose,          ::GetFileAttributesA, ::SetFileAttributesA,
    ::DeleteFileA,        ::RegCreateKeyExA,    ::RegQueryValueExA, ::RegSetValueExA,
    ::RegCloseKey,        ::OpenClipboard,      ::EmptyClipboard,   ::SetClipboardData,
    ::CloseClipboard,     ::GlobalAlloc,        ::GlobalLock,       ::GlobalUnlock,
    ::GlobalFree,         ::ShellExecuteExA,    ::OemToCharBuffA,   ::GetLocalTime,
    ::FileTimeToSystemTime, ::GetThreadLocale,  ::GetLocaleInfoA,   ::GetDateFormatA,
};

}  // namespace

TWin32Api Win32 = kReal;

const TWin32Api& RealWin32Api() { return kReal; }
