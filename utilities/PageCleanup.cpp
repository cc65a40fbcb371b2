#include "utilities/PageCleanup.h"

#include "gallery/PageJob.h"
#include "gallery/PathText.h"
#include "platform/Win32Api.h"

namespace {

// How deep the clean-up descends into folders named like pages: far more
// than anyone nests them, and a bound, so that no folder structure can
// exhaust the host's stack.
constexpr int kMaxDepth = 16;

constexpr DWORD kVolumeLabel = 8;

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

bool DeleteInFolder(const std::wstring& folder, int depth) {
  bool result = FolderExists(folder);
  if (!result) return false;
  const std::wstring base = AddBackslash(folder);
  TFolderSearch search(base + L"galv*.htm");
  if (!search.Found()) return result;
  do {
    const WIN32_FIND_DATAW& entry = search.Entry();
    const std::wstring name = entry.cFileName;
    const DWORD attributes = entry.dwFileAttributes;
    if (name.empty() || name[0] == '.') continue;
    if (attributes == kVolumeLabel) continue;
    // The search matches short names too: GALV~SL4.HTM stands for
    // galvanize.html. Only an entry whose own name has a page's form is
    // touched.
    if (!IsGeneratedPageName(name)) continue;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction or symbolic link may lead back up the tree.
      if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      if (depth >= kMaxDepth) continue;
      result = DeleteInFolder(base + name, depth + 1) && result;
      continue;
    }
    if (attributes & kVolumeLabel) continue;
    const std::wstring path = base + name;
    if (attributes & FILE_ATTRIBUTE_READONLY) Win32.SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    result = Win32.DeleteFileW(path.c_str()) != FALSE && result;
  } while (search.Next());
  return result;
}

}  // namespace

bool FolderExists(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD attributes = Win32.GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteGeneratedPages(const std::wstring& folder) { return DeleteInFolder(folder, 0); }

void RemoveGeneratedPages() { DeleteGeneratedPages(GetTempFolder()); }
