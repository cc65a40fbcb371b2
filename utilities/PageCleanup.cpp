#include "utilities/PageCleanup.h"

#include "platform/Files.h"
#include "platform/TempFolder.h"
#include "platform/WidePath.h"
#include "gallery/PathText.h"
#include "platform/Win32Api.h"
#include "thumbnails/Cache.h"

bool FolderExists(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD attributes = Win32.GetFileAttributesW(LongPathForm(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteGeneratedPages(const std::wstring& folder) {
  if (!FolderExists(folder)) return false;
  const std::wstring base = AddBackslash(folder);
  bool result = true;
  TFileList files(base, L"galv*.htm");
  while (files.Next()) {
    // Only files whose own name has exactly a page's form: the search
    // matches short names too (GALV~SL4.HTM stands for galvanize.html), and
    // galvanize.htm is another program's. Folders are neither entered nor
    // removed.
    if (!IsGeneratedPageName(files.Name()) || (files.Attributes() & 8)) continue;
    const std::wstring path = LongPathForm(base + std::wstring(files.Name()));
    if (files.Attributes() & FILE_ATTRIBUTE_READONLY) Win32.SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    result = Win32.DeleteFileW(path.c_str()) != FALSE && result;
  }
  return result;
}

void RemoveGeneratedPages() {
  DeleteGeneratedPages(GetTempFolder());
  RemoveUnusedCopies(kUnusedCopyAge);
}
