#include "gallery/PageJob.h"

#include <cstring>

#include "gallery/BuiltInPage.h"
#include "gallery/LocaleText.h"
#include "gallery/PathText.h"
#include "gallery/TemplatePage.h"
#include "host/FarUtil.h"
#include "platform/Win32Api.h"
#include "settings/PluginConfig.h"

namespace {

constexpr DWORD kTempPathBuffer = 1024;

class TPanelItems final : public TPageItems {
 public:
  explicit TPanelItems(const PanelInfo& panel) : panel_(panel) {}
  int Count() const override { return panel_.SelectedItems ? panel_.SelectedItemsNumber : 0; }
  std::string FullPath(int index) const override { return ItemFullPath(panel_, index); }
  TFarFileTime CreationTime(int index) const override {
    return panel_.SelectedItems[index].FindData.ftCreationTime;
  }

 private:
  const PanelInfo& panel_;
};

// The page file: created anew, readable by others while it is written, and
// written through a buffer so that a page of any length streams to disk.
class TPageFile final : public TPageSink {
 public:
  ~TPageFile() override { Close(); }

  bool Create(const std::string& path) {
    file_ = Win32.CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return file_ != INVALID_HANDLE_VALUE;
  }

  void Write(std::string_view text) override {
    buffer_.append(text);
    if (buffer_.size() >= kBufferSize) Flush();
  }

  // Writes out what is buffered and closes the file; false when anything
  // written so far failed to reach the file.
  bool Close() {
    if (file_ == INVALID_HANDLE_VALUE) return ok_;
    try {
      Flush();
    } catch (const TWriteError&) {
    }
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
    if (!ok_) throw TWriteError{};
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::string buffer_;
  bool ok_ = true;
};

class TWin32TemplateFiles final : public TTemplateFiles {
 public:
  bool Read(const std::string& path, std::string& content) override {
    HANDLE file = Win32.CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = false;
    LARGE_INTEGER size;
    if (Win32.GetFileSizeEx(file, &size) && size.QuadPart >= 0 && size.QuadPart < 0x7FFFFFFF) {
      content.resize(static_cast<size_t>(size.QuadPart));
      size_t done = 0;
      ok = true;
      while (done < content.size()) {
        DWORD got = 0;
        if (!Win32.ReadFile(file, &content[done], static_cast<DWORD>(content.size() - done), &got, nullptr) ||
            got == 0) {
          ok = false;
          break;
        }
        done += got;
      }
    }
    Win32.CloseHandle(file);
    return ok;
  }
};

void OpenPage(const std::string& pagePath) {
  const std::string folder = FolderPart(pagePath);
  SHELLEXECUTEINFOA info;
  std::memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT;
  info.hwnd = nullptr;
  info.lpVerb = nullptr;
  info.lpFile = pagePath.c_str();
  info.lpParameters = "";
  info.lpDirectory = folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  Win32.ShellExecuteExA(&info);
  if (info.hProcess) Win32.CloseHandle(info.hProcess);
}

}  // namespace

std::string GetTempFolder() {
  char buffer[kTempPathBuffer];
  DWORD n = Win32.GetTempPathA(kTempPathBuffer, buffer);
  // A result of the buffer's size or more is the length it would need.
  if (n == 0 || n >= kTempPathBuffer) return std::string();
  return std::string(buffer, n);
}

std::string OemToAnsiStr(const std::string& text) {
  if (text.empty()) return text;
  std::string out(text.size(), '\0');
  Win32.OemToCharBuffA(text.data(), &out[0], static_cast<DWORD>(text.size()));
  return out;
}

std::string ItemFullPath(const PanelInfo& panel, int index) {
  const char* name = panel.SelectedItems[index].FindData.cFileName;
  std::string path(name, strnlen(name, sizeof panel.SelectedItems[index].FindData.cFileName));
  if (path.find(':') == std::string::npos)
    path = AddBackslash(std::string(panel.CurDir, strnlen(panel.CurDir, sizeof panel.CurDir))) + path;
  return OemToAnsiStr(path);
}

std::string NewPagePath() {
  SYSTEMTIME now;
  Win32.GetLocalTime(&now);
  const uint32_t msOfDay = ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
  const int64_t t = PageTimeNumber(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                                   now.wMilliseconds);
  return GetTempFolder() + "galv" + std::to_string(t) + std::to_string(RandomPageNumber(msOfDay)) + ".htm";
}

void MakeGalleryPage(const PanelInfo& panel) {
  const std::string pagePath = NewPagePath();
  if (panel.PanelType != PTYPE_FILEPANEL) return;
  const std::string pluginFolder = FolderPart(ModuleName());
  TDCImageInfo probe;
  TPageFile page;
  if (!page.Create(pagePath)) return;
  bool complete = false;
  try {
    TPanelItems items(panel);
    if (PluginConfig.Template == 0) {
      WriteBuiltInPage(page, items, probe, PluginConfig);
    } else {
      TWin32TemplateFiles files;
      TLocaleDateText dates;
      WriteTemplatePage(page, items, probe, PluginConfig, pluginFolder, files, dates);
    }
    complete = page.Close();
  } catch (...) {
  }
  // A page that is not complete keeps what was written and is not opened.
  page.Close();
  if (complete) OpenPage(pagePath);
}
