#include "platform/Files.h"

#include "platform/WidePath.h"
#include "platform/Win32Api.h"

std::wstring LocalAppDataFolder() {
  wchar_t path[MAX_PATH];
  if (Win32.SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path) != S_OK) return {};
  std::wstring folder(path);
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder;
}

bool CreateFolderPath(const std::wstring& folder) {
  std::wstring path = folder;
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  if (path.empty()) return false;
  const DWORD attributes = Win32.GetFileAttributesW(LongPathForm(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const size_t parent = path.find_last_of(L'\\');
  // A drive's root ("C:") or a share's ("\\server\share") is never created.
  if (parent == std::wstring::npos || parent < 3) return false;
  if (!CreateFolderPath(path.substr(0, parent))) return false;
  return Win32.CreateDirectoryW(LongPathForm(path).c_str(), nullptr) || Win32.GetLastError() == ERROR_ALREADY_EXISTS;
}

bool CanWriteIn(const std::wstring& folder) {
  const std::wstring probe = LongPathForm(folder + L"~galvora-write-test.tmp");
  HANDLE file = Win32.CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  Win32.CloseHandle(file);
  return true;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  const std::wstring name = LongPathForm(path);
  HANDLE file = Win32.CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = Win32.WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  Win32.CloseHandle(file);
  if (!ok) Win32.DeleteFileW(name.c_str());
  return ok;
}

uint64_t NowFileTime() {
  FILETIME now;
  Win32.GetSystemTimeAsFileTime(&now);
  return uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime;
}

bool SetLastWriteTime(const std::wstring& path, uint64_t fileTime) {
  HANDLE file = Win32.CreateFileW(LongPathForm(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME t = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  const bool ok = Win32.SetFileTime(file, nullptr, nullptr, &t) != FALSE;
  Win32.CloseHandle(file);
  return ok;
}

bool RemoveFile(const std::wstring& path) { return Win32.DeleteFileW(LongPathForm(path).c_str()) != FALSE; }

bool ReplaceFileWith(const std::wstring& to, const std::wstring& from) {
  return Win32.MoveFileExW(LongPathForm(from).c_str(), LongPathForm(to).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

TFileRead ReadWholeFile(const std::wstring& path, size_t maxBytes, TLargeBuffer& bytes) {
  bytes.SetSize(0);
  HANDLE file = Win32.CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return frUnreadable;
  LARGE_INTEGER size;
  TFileRead result = Win32.GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
                             static_cast<uint64_t>(size.QuadPart) <= maxBytes
                         ? frRead
                         : frUnreadable;
  if (result == frRead && !bytes.Allocate(static_cast<size_t>(size.QuadPart))) result = frNoMemory;
  size_t done = 0;
  while (result == frRead && done < bytes.Capacity()) {
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.Capacity() - done > (1u << 30) ? (1u << 30) : bytes.Capacity() - done);
    if (!Win32.ReadFile(file, bytes.Data() + done, chunk, &got, nullptr) || got == 0) result = frUnreadable;
    done += got;
  }
  Win32.CloseHandle(file);
  bytes.SetSize(result == frRead ? done : 0);
  return result;
}

TFileList::TFileList(const std::wstring& folder, const wchar_t* pattern) : data_(new WIN32_FIND_DATAW) {
  std::wstring names = folder;
  if (!names.empty() && names.back() != L'\\') names += L'\\';
  find_ = Win32.FindFirstFileW(LongPathForm(names + pattern).c_str(), static_cast<WIN32_FIND_DATAW*>(data_));
}

TFileList::~TFileList() {
  if (find_ != INVALID_HANDLE_VALUE) Win32.FindClose(find_);
  delete static_cast<WIN32_FIND_DATAW*>(data_);
}

bool TFileList::Next() {
  auto* data = static_cast<WIN32_FIND_DATAW*>(data_);
  for (;;) {
    if (find_ == INVALID_HANDLE_VALUE) return false;
    if (!first_ && !Win32.FindNextFileW(find_, data)) {
      Win32.FindClose(find_);
      find_ = INVALID_HANDLE_VALUE;
      return false;
    }
    first_ = false;
    if (!(data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  }
}

std::wstring_view TFileList::Name() const { return static_cast<const WIN32_FIND_DATAW*>(data_)->cFileName; }

uint64_t TFileList::Size() const {
  const auto* data = static_cast<const WIN32_FIND_DATAW*>(data_);
  return uint64_t{data->nFileSizeHigh} << 32 | data->nFileSizeLow;
}

uint64_t TFileList::LastWrite() const {
  const auto* data = static_cast<const WIN32_FIND_DATAW*>(data_);
  return uint64_t{data->ftLastWriteTime.dwHighDateTime} << 32 | data->ftLastWriteTime.dwLowDateTime;
}

uint32_t TFileList::Attributes() const { return static_cast<const WIN32_FIND_DATAW*>(data_)->dwFileAttributes; }
