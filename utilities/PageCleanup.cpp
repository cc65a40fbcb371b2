#include "utilities/PageCleanup.h"

#include "platform/TempFolder.h"
#include "platform/WidePath.h"
#include "gallery/PathText.h"
#include "platform/Win32Api.h"
#include "thumbnails/Cache.h"

namespace {

class TFolderSearch {
 public:
  explicit TFolderSearch(const std::wstring& pattern) : find_(Win32.FindFirstFileW(pattern.c_str(), &data_)) {}
  ~TFolderSearch() {
    if (find_ != INVALID_HANDLE_VALUE) Win32.FindClose(find_);
  }
  TFolderSearch(const TFolderSearch&) = delete;
  TFolderSearch& operator=(const TFolderSearch&) = delete;

  bool Found() const { return find_ != INVALID_HANDLE_VALUE; }
  const WIN32_FIND_DATAW& Entry() const { return data_; }
  bool Next() { return Win32.FindNextFileW(find_, &data_) != FALSE; }

 private:
  WIN32_FIND_DATAW data_;
  HANDLE find_;
};

}  // namespace

bool FolderExists(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD attributes = Win32.GetFileAttributesW(LongPathForm(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteGeneratedPages(const std::wstring& folder) {
  if (!FolderExists(folder)) return false;
  const std::wstring base = AddBackslash(folder);
  bool result = true;
  TFolderSearch search(LongPathForm(base + L"galv*.htm"));
  if (!search.Found()) return result;
  do {
    const WIN32_FIND_DATAW& entry = search.Entry();
    const DWORD attributes = entry.dwFileAttributes;
    // Only files whose own name has exactly a page's form: the search
    // matches short names too (GALV~SL4.HTM stands for galvanize.html), and
    // galvanize.htm is another program's. Folders are neither entered nor
    // removed.
    if (!IsGeneratedPageName(std::wstring_view(entry.cFileName)) || (attributes & (FILE_ATTRIBUTE_DIRECTORY | 8)))
      continue;
    const std::wstring path = LongPathForm(base + entry.cFileName);
    if (attributes & FILE_ATTRIBUTE_READONLY) Win32.SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    result = Win32.DeleteFileW(path.c_str()) != FALSE && result;
  } while (search.Next());
  return result;
}

void RemoveGeneratedPages() {
  DeleteGeneratedPages(GetTempFolder());
  RemoveUnusedCopies(kUnusedCopyAge);
}
