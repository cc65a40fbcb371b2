// The few file operations of the thumbnail cache, through the Win32 table.
// Paths are UTF-16; every one is opened in its long form where it needs it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/LargeMemory.h"

// The user's local application-data folder (not roaming), ending in a
// backslash; empty when the system has none.
std::wstring LocalAppDataFolder();

// Creates the folder and every missing folder above it; true when it
// exists afterwards.
bool CreateFolderPath(const std::wstring& folder);

// True when a file can be created (and is removed again) in the folder.
bool CanWriteIn(const std::wstring& folder);

// Writes the bytes as the whole file, replacing one of that name; a file
// that could not be written completely is removed. False on failure.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

// The current time as a file time (100 ns since 1601, UTC).
uint64_t NowFileTime();

// Sets the file's last-write time; false when it cannot.
bool SetLastWriteTime(const std::wstring& path, uint64_t fileTime);

bool RemoveFile(const std::wstring& path);

// Puts from in place of to (which may exist); false when it cannot.
bool ReplaceFileWith(const std::wstring& to, const std::wstring& from);

// The whole file in a large block, when it exists and holds at most
// maxBytes; otherwise the block holds nothing, and the result says whether
// the file or the memory was missing. Others may read, write and delete the
// file meanwhile (a template open in an editor is read all the same).
enum TFileRead : uint8_t { frRead, frUnreadable, frNoMemory };
TFileRead ReadWholeFile(const std::wstring& path, size_t maxBytes, TLargeBuffer& bytes);

// The files (not folders) of a folder whose names match the pattern, one
// at a time.
class TFileList {
 public:
  explicit TFileList(const std::wstring& folder, const wchar_t* pattern = L"*");
  ~TFileList();
  TFileList(const TFileList&) = delete;
  TFileList& operator=(const TFileList&) = delete;
  // Moves to the next file; false when there is none.
  bool Next();
  std::wstring_view Name() const;
  uint64_t Size() const;
  uint64_t LastWrite() const;
  uint32_t Attributes() const;

 private:
  void* find_;
  void* data_;
  bool first_ = true;
};
