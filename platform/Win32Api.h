// Every Windows call of the plugin goes through this table. It starts out
// holding the real functions; a test swaps one entry to make exactly that
// call fail, and puts it back afterwards.
#pragma once

#include <windows.h>
#include <shellapi.h>

struct TWin32Api {
  // Files
  decltype(&::CreateFileA) CreateFileA;
  decltype(&::ReadFile) ReadFile;
  decltype(&::WriteFile) WriteFile;
  decltype(&::CloseHandle) CloseHandle;
  decltype(&::GetFileSizeEx) GetFileSizeEx;
  decltype(&::SetFilePointerEx) SetFilePointerEx;
  decltype(&::GetTempPathA) GetTempPathA;
  // Folder search and removal
  decltype(&::FindFirstFileA) FindFirstFileA;
  decltype(&::FindNextFileA) FindNextFileA;
  decltype(&::FindClose) FindClose;
  decltype(&::GetFileAttributesA) GetFileAttributesA;
  decltype(&::SetFileAttributesA) SetFileAttributesA;
  decltype(&::DeleteFileA) DeleteFileA;
  // Registry
  decltype(&::RegCreateKeyExA) RegCreateKeyExA;
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
  decltype(&::ShellExecuteExA) ShellExecuteExA;
  decltype(&::OemToCharBuffA) OemToCharBuffA;
  decltype(&::GetLocalTime) GetLocalTime;
  decltype(&::FileTimeToSystemTime) FileTimeToSystemTime;
  decltype(&::GetThreadLocale) GetThreadLocale;
  decltype(&::GetLocaleInfoA) GetLocaleInfoA;
  decltype(&::GetDateFormatA) GetDateFormatA;
};

extern TWin32Api Win32;

// The table as it is at load time: the real functions.
const TWin32Api& RealWin32Api();
