#include "platform/Win32Api.h"

namespace {

const TWin32Api kReal = {
    ::CreateFileW,        ::ReadFile,           ::WriteFile,          ::CloseHandle,
    ::GetFileSizeEx,      ::SetFilePointerEx,   ::GetTempPathW,       ::FindFirstFileW,
    ::FindNextFileW,      ::FindClose,          ::GetFileAttributesW, ::SetFileAttributesW,
    ::DeleteFileW,        ::RegCreateKeyExW,    ::RegQueryValueExA,   ::RegSetValueExA,
    ::RegCloseKey,        ::OpenClipboard,      ::EmptyClipboard,     ::SetClipboardData,
    ::CloseClipboard,     ::GlobalAlloc,        ::GlobalLock,         ::GlobalUnlock,
    ::GlobalFree,         ::ShellExecuteExW,    ::MultiByteToWideChar,
    ::GetLocalTime,       ::FileTimeToSystemTime, ::GetThreadLocale,  ::GetLocaleInfoW,
    ::GetDateFormatW,     ::HeapAlloc,          ::HeapFree,           ::GetProcessHeap,
    ::GetTickCount,       ::GetStdHandle,       ::GetNumberOfConsoleInputEvents,
    ::ReadConsoleInputW,  ::WideCharToMultiByte, ::GetLongPathNameW,
    ::RegOpenKeyExW,      ::GetEnvironmentVariableW, ::GetLastError,   ::FormatMessageW,
    ::SHGetFolderPathW,   ::CreateDirectoryW,   ::SetFileTime,        ::GetSystemTimeAsFileTime,
    ::CreatePipe,         ::SetHandleInformation, ::CreateProcessW,   ::PeekNamedPipe,
    ::WaitForSingleObject, ::TerminateProcess, ::MoveFileExW,
};

}  // namespace

TWin32Api Win32 = kReal;

const TWin32Api& RealWin32Api() { return kReal; }
