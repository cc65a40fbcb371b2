// Every Windows call of the plugin goes through this table. It starts out
// holding the real functions; a test swaps one entry to make exactly that
// call fail, and puts it back afterwards.
//
// Files, folders and the shell are reached only through the wide functions:
// the host switches the ...A file functions to the OEM code page while the
// plugin runs, and a name converted to UTF-16 names the same file whatever
// that mode is (see WidePath.h).
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

struct TWin32Api {
  // Files
  decltype(&::CreateFileW) CreateFileW;
  decltype(&::ReadFile) ReadFile;
  decltype(&::WriteFile) WriteFile;
  decltype(&::CloseHandle) CloseHandle;
  decltype(&::GetFileSizeEx) GetFileSizeEx;
  decltype(&::SetFilePointerEx) SetFilePointerEx;
  decltype(&::GetTempPathW) GetTempPathW;
  // Folder search and removal
  decltype(&::FindFirstFileW) FindFirstFileW;
  decltype(&::FindNextFileW) FindNextFileW;
  decltype(&::FindClose) FindClose;
  decltype(&::GetFileAttributesW) GetFileAttributesW;
  decltype(&::SetFileAttributesW) SetFileAttributesW;
  decltype(&::DeleteFileW) DeleteFileW;
  // Registry
  decltype(&::RegCreateKeyExW) RegCreateKeyExW;
  decltype(&::RegQueryValueExA) RegQueryValueExA;
  decltype(&::RegSetValueExA) RegSetValueExA;
  decltype(&::RegCloseKey) RegCloseKey;
  // Clipboard and global memory
  decltype(&::OpenClipboard) OpenClipboard;
  decltype(&::EmptyClipboard) EmptyClipboard;
  decltype(&::SetClipboardData) SetClipboardData;
  decltype(&::CloseClipboard) CloseClipboard;
  decltype(&::GlobalAlloc) GlobalAlloc;
  decltype(&::GlobalLock) GlobalLock;
  decltype(&::GlobalUnlock) GlobalUnlock;
  decltype(&::GlobalFree) GlobalFree;
  // Shell, code pages, time and locale
  decltype(&::ShellExecuteExW) ShellExecuteExW;
  decltype(&::MultiByteToWideChar) MultiByteToWideChar;
  decltype(&::GetLocalTime) GetLocalTime;
  decltype(&::FileTimeToSystemTime) FileTimeToSystemTime;
  decltype(&::GetThreadLocale) GetThreadLocale;
  decltype(&::GetLocaleInfoW) GetLocaleInfoW;
  decltype(&::GetDateFormatW) GetDateFormatW;
  // Large blocks, the clock and the console input (Esc during a long job)
  decltype(&::HeapAlloc) HeapAlloc;
  decltype(&::HeapFree) HeapFree;
  decltype(&::GetProcessHeap) GetProcessHeap;
  decltype(&::GetTickCount) GetTickCount;
  decltype(&::GetStdHandle) GetStdHandle;
  decltype(&::GetNumberOfConsoleInputEvents) GetNumberOfConsoleInputEvents;
  decltype(&::ReadConsoleInputW) ReadConsoleInputW;
  decltype(&::WideCharToMultiByte) WideCharToMultiByte;
  decltype(&::GetLongPathNameW) GetLongPathNameW;
  decltype(&::RegOpenKeyExW) RegOpenKeyExW;
  decltype(&::GetEnvironmentVariableW) GetEnvironmentVariableW;
  decltype(&::GetLastError) GetLastError;
  decltype(&::FormatMessageW) FormatMessageW;
  // The thumbnail cache and its worker process
  decltype(&::SHGetFolderPathW) SHGetFolderPathW;
  decltype(&::CreateDirectoryW) CreateDirectoryW;
  decltype(&::SetFileTime) SetFileTime;
  decltype(&::GetSystemTimeAsFileTime) GetSystemTimeAsFileTime;
  decltype(&::CreatePipe) CreatePipe;
  decltype(&::SetHandleInformation) SetHandleInformation;
  decltype(&::CreateProcessW) CreateProcessW;
  decltype(&::PeekNamedPipe) PeekNamedPipe;
  decltype(&::WaitForSingleObject) WaitForSingleObject;
  decltype(&::TerminateProcess) TerminateProcess;
  decltype(&::MoveFileExW) MoveFileExW;
};

extern TWin32Api Win32;

// The table as it is at load time: the real functions.
const TWin32Api& RealWin32Api();
