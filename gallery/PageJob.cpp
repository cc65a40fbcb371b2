#include "gallery/PageJob.h"

#include <cstring>

#include "gallery/BuiltInPage.h"
#include "gallery/LocaleText.h"
#include "gallery/PathText.h"
#include "gallery/TemplatePage.h"
#include "host/FarUtil.h"
#include "platform/WidePath.h"
#include "platform/Win32Api.h"
#include "settings/PluginConfig.h"

namespace {

constexpr DWORD kTempPathBuffer = 1024;

class TPanelItems final : public TPageItems {
 public:
  explicit TPanelItems(const PanelInfo& panel) : panel_(panel) {}
  int Count() const override { return panel_.SelectedItems ? panel_.SelectedItemsNumber : 0; }
  std::string FullPath(int index) const override { return ItemFullPath(panel_, index); }
  TPathName FileName(int index) const override { return ItemFileName(panel_, index); }
  TFarFileTime CreationTime(int index) const override {
    return panel_.SelectedItems[index].FindData.ftCreationTime;
  }

 private:
  const PanelInfo& panel_;
};

// The page file: created anew, readable by others while it is written, and
// written through a buffer so that a page of any length streams to disk.
// The first write that fails is kept: later text is dropped, and Close
// reports it.
class TPageFile final : public TPageSink {
 public:
  ~TPageFile() override { Close(); }

  bool Create(const std::wstring& path) {
    file_ = Win32.CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return file_ != INVALID_HANDLE_VALUE;
  }

  void Write(std::string_view text) override {
    if (!ok_) return;
    buffer_.append(text);
    if (buffer_.size() >= kBufferSize) Flush();
  }

  bool Ok() const override { return ok_; }

  // Writes out what is buffered and closes the file; false when anything
  // written so far failed to reach the file.
  bool Close() {
    if (file_ == INVALID_HANDLE_VALUE) return ok_;
    Flush();
    Win32.CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return ok_;
  }

 private:
  static constexpr size_t kBufferSize = 64 * 1024;

  void Flush() {
    size_t done = 0;
    while (ok_ && done < buffer_.size()) {
      DWORD written = 0;
      if (!Win32.WriteFile(file_, buffer_.data() + done, static_cast<DWORD>(buffer_.size() - done), &written,
                           nullptr) ||
          written == 0)
        ok_ = false;
      done += written;
    }
    buffer_.clear();
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::string buffer_;
  bool ok_ = true;
};

// An open file that is closed on every path out.
class TReadFile {
 public:
  explicit TReadFile(const std::wstring& path)
      : file_(path.empty() ? INVALID_HANDLE_VALUE
                           : Win32.CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~TReadFile() {
    if (file_ != INVALID_HANDLE_VALUE) Win32.CloseHandle(file_);
  }
  TReadFile(const TReadFile&) = delete;
  TReadFile& operator=(const TReadFile&) = delete;
  HANDLE Handle() const { return file_; }

 private:
  HANDLE file_;
};

class TWin32TemplateFiles final : public TTemplateFiles {
 public:
  bool Read(const TPathName& path, std::string& content) override {
    TReadFile file(WidePath(path));
    if (file.Handle() == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    if (!Win32.GetFileSizeEx(file.Handle(), &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > kMaxTemplateFile)
      return false;
    content.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < content.size()) {
      DWORD got = 0;
      if (!Win32.ReadFile(file.Handle(), &content[done], static_cast<DWORD>(content.size() - done), &got,
                          nullptr) ||
          got == 0)
        return false;
      done += got;
    }
    return true;
  }
};

void OpenPage(const std::wstring& pagePath) {
  const std::wstring folder = FolderPart(pagePath);
  SHELLEXECUTEINFOW info;
  std::memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT;
  info.hwnd = nullptr;
  info.lpVerb = nullptr;
  info.lpFile = pagePath.c_str();
  info.lpParameters = L"";
  info.lpDirectory = folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  Win32.ShellExecuteExW(&info);
  if (info.hProcess) Win32.CloseHandle(info.hProcess);
}

}  // namespace

std::wstring GetTempFolder() {
  wchar_t buffer[kTempPathBuffer];
  DWORD n = Win32.GetTempPathW(kTempPathBuffer, buffer);
  // A result of the buffer's size or more is the length it would need.
  if (n == 0 || n >= kTempPathBuffer) return std::wstring();
  return std::wstring(buffer, n);
}

std::string OemToAnsiStr(const std::string& text) {
  if (text.empty()) return text;
  std::string out(text.size(), '\0');
  Win32.OemToCharBuffA(text.data(), &out[0], static_cast<DWORD>(text.size()));
  return out;
}

TPathName ItemFileName(const PanelInfo& panel, int index) {
  const char* name = panel.SelectedItems[index].FindData.cFileName;
  std::string path(name, strnlen(name, sizeof panel.SelectedItems[index].FindData.cFileName));
  if (path.find(':') == std::string::npos)
    path = AddBackslash(std::string(panel.CurDir, strnlen(panel.CurDir, sizeof panel.CurDir))) + path;
  return TPathName(path, cpOem);
}

std::string ItemFullPath(const PanelInfo& panel, int index) { return OemToAnsiStr(ItemFileName(panel, index).Text); }

std::wstring NewPagePath() {
  SYSTEMTIME now;
  Win32.GetLocalTime(&now);
  const uint32_t msOfDay = ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
  const int64_t t = PageTimeNumber(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                                   now.wMilliseconds);
  const std::string name = "galv" + std::to_string(t) + std::to_string(RandomPageNumber(msOfDay)) + ".htm";
  return GetTempFolder() + std::wstring(name.begin(), name.end());
}

void MakeGalleryPage(const PanelInfo& panel) {
  const std::wstring pagePath = NewPagePath();
  if (panel.PanelType != PTYPE_FILEPANEL) return;
  TDCImageInfo probe;
  TPageFile page;
  if (!page.Create(pagePath)) return;
  TPanelItems items(panel);
  bool complete;
  if (PluginConfig.Template == 0) {
    WriteBuiltInPage(page, items, probe, PluginConfig);
    complete = true;
  } else {
    // The library's folder, in the host's code page like every name it gives.
    const TPathName pluginFolder(FolderPart(ModuleName()), cpOem);
    TWin32TemplateFiles files;
    TLocaleDateText dates;
    complete = WriteTemplatePage(page, items, probe, PluginConfig, pluginFolder, files, dates);
  }
  // A page that is not complete keeps what was written and is not opened.
  if (page.Close() && complete) OpenPage(pagePath);
}
