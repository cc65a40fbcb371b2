#include "gallery/PageJob.h"

#include <cstring>

#include "gallery/BuiltInPage.h"
#include "gallery/LocaleText.h"
#include "gallery/PathText.h"
#include "gallery/TemplatePage.h"
#include "host/FarUtil.h"
#include "host/FARLang.h"
#include "platform/AnsiText.h"
#include "platform/LargeMemory.h"
#include "platform/WidePath.h"
#include "platform/Win32Api.h"
#include "settings/PluginConfig.h"

namespace {

constexpr DWORD kTempPathBuffer = 1024;
// The host's progress box comes up once a job has run this long, and is
// drawn again at most this often.
constexpr DWORD kProgressAfterMs = 500;
constexpr DWORD kRedrawMs = 100;
// The width of the box's lines, so that it keeps its size as it is redrawn.
constexpr size_t kProgressWidth = 56;
// Attributes of a file whose data is not on the disk: opening it would
// start a download of the whole file.
constexpr DWORD kRemoteData = 0x1000 | 0x40000 | 0x400000;  // offline, recall on open, recall on data access

// The name cut in its middle to `width` characters and padded to it.
std::wstring Shortened(std::wstring name, size_t width) {
  if (name.size() > width) name = name.substr(0, width / 2 - 1) + L"..." + name.substr(name.size() - (width - width / 2 - 2));
  name.resize(width, L' ');
  return name;
}

// The progress of a page job: after half a second the host's progress box,
// and between two files a look at the console input for Esc.
class TProgress {
 public:
  explicit TProgress(int total)
      : total_(total), start_(Win32.GetTickCount()), input_(Win32.GetStdHandle(STD_INPUT_HANDLE)) {}
  ~TProgress() { End(); }
  TProgress(const TProgress&) = delete;
  TProgress& operator=(const TProgress&) = delete;

  // Before the file of the item `done` (0-based) is read: false when the
  // user has pressed Esc. Never waits for input.
  bool Next(int done, const std::wstring& path) {
    if (EscPressed()) return false;
    const DWORD now = Win32.GetTickCount();
    if (now - start_ < kProgressAfterMs || (shown_ && now - drawn_ < kRedrawMs)) return true;
    if (!shown_) screen_ = SaveHostScreen();
    shown_ = true;
    drawn_ = now;
    const std::string count = std::to_string(done + 1) + " " + GetMsg(MOfTotal) + " " + std::to_string(total_);
    ShowProgressBox({OemText(Shortened(WideFromOem(GetMsg(MReadingImages)), kProgressWidth)),
                     OemText(Shortened(WidePath(count, cpOem), kProgressWidth)),
                     OemText(Shortened(NamePart(path), kProgressWidth))});
    return true;
  }

  // Takes the box away (puts the screen back as it was).
  void End() {
    if (shown_) RestoreHostScreen(screen_);
    shown_ = false;
    screen_ = nullptr;
  }

 private:
  static std::wstring WideFromOem(const char* text) { return WidePath(text, cpOem); }

  // Takes the pending console input events, if any, and looks for Esc
  // among them. The other keys pressed meanwhile are taken too.
  bool EscPressed() {
    DWORD pending = 0;
    if (!Win32.GetNumberOfConsoleInputEvents(input_, &pending)) return false;
    INPUT_RECORD events[16];
    while (pending > 0) {
      DWORD got = 0;
      if (!Win32.ReadConsoleInputW(input_, events, pending < 16 ? pending : 16, &got) || got == 0) return false;
      for (DWORD i = 0; i < got; ++i) {
        const KEY_EVENT_RECORD& key = events[i].Event.KeyEvent;
        if (events[i].EventType == KEY_EVENT && key.bKeyDown && key.wVirtualKeyCode == VK_ESCAPE) return true;
      }
      pending = got < pending ? pending - got : 0;
    }
    return false;
  }

  int total_;
  DWORD start_, drawn_ = 0;
  HANDLE input_;
  bool shown_ = false;
  void* screen_ = nullptr;
};

// The items of the page: every selected item but folders, in the order of
// the selection. Their list is a large block; Build says whether it could
// be had.
class TPanelItems final : public TPageItems {
 public:
  explicit TPanelItems(const PanelInfo& panel) : panel_(panel) {}

  bool Build() {
    const int selected = panel_.SelectedItems && panel_.SelectedItemsNumber > 0 ? panel_.SelectedItemsNumber : 0;
    if (!list_.Allocate(sizeof(int32_t) * static_cast<size_t>(selected))) return false;
    int32_t* list = reinterpret_cast<int32_t*>(list_.Data());
    for (int i = 0; i < selected; ++i)
      if (!(panel_.SelectedItems[i].FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) list[count_++] = i;
    return true;
  }

  void Watch(TProgress* progress) { progress_ = progress; }

  int Count() const override { return count_; }
  std::wstring FullPath(int index) const override { return ItemFullPath(panel_, Item(index)); }
  TFarFileTime CreationTime(int index) const override { return Data(index).ftCreationTime; }

  bool Probe(int index, TDCImageInfo& probe) override {
    const std::wstring name = FullPath(index);
    if (progress_ && !progress_->Next(index, name)) return false;
    const TFarFindData& data = Data(index);
    if (!(data.dwFileAttributes & kRemoteData)) {
      probe.ReadInfo(name);
      return true;
    }
    // Not opened: listed like a file that is not recognised, with the
    // length the host reported.
    probe.Clear();
    probe.Orientation = 0;
    probe.Failure = pfUnreadable;
    const uint64_t size = uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    probe.FileSize = static_cast<int32_t>(size < 0x7FFFFFFFu ? size : 0x7FFFFFFFu);
    return true;
  }

 private:
  int Item(int index) const { return reinterpret_cast<const int32_t*>(list_.Data())[index]; }
  const TFarFindData& Data(int index) const { return panel_.SelectedItems[Item(index)].FindData; }

  const PanelInfo& panel_;
  TLargeBuffer list_;
  int count_ = 0;
  TProgress* progress_ = nullptr;
};

// The page file: created anew, readable by others while it is written, and
// written through a buffer of its own (a large block) so that a page of any
// length streams to disk. The first write that fails is kept: later text is
// dropped, and Close reports it.
class TPageFile final : public TPageSink {
 public:
  ~TPageFile() override { Close(); }

  enum TCreate { pcCreated, pcFailed, pcNoMemory };
  TCreate Create(const std::wstring& path) {
    if (!buffer_.Allocate(kBufferSize)) return pcNoMemory;
    file_ = Win32.CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return file_ != INVALID_HANDLE_VALUE ? pcCreated : pcFailed;
  }

  void Write(std::string_view text) override {
    while (ok_ && !text.empty()) {
      const size_t room = buffer_.Capacity() - buffer_.Size();
      const size_t n = text.size() < room ? text.size() : room;
      std::memcpy(buffer_.Data() + buffer_.Size(), text.data(), n);
      buffer_.SetSize(buffer_.Size() + n);
      text.remove_prefix(n);
      if (buffer_.Size() == buffer_.Capacity()) Flush();
    }
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
    while (ok_ && done < buffer_.Size()) {
      DWORD written = 0;
      if (!Win32.WriteFile(file_, buffer_.Data() + done, static_cast<DWORD>(buffer_.Size() - done), &written,
                           nullptr) ||
          written == 0)
        ok_ = false;
      done += written;
    }
    buffer_.SetSize(0);
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  TLargeBuffer buffer_;
  bool ok_ = true;
};

// An open file that is closed on every path out. Others may read, write
// and delete it meanwhile: a template open in an editor is read all the same.
class TReadFile {
 public:
  explicit TReadFile(const std::wstring& path)
      : file_(path.empty() ? INVALID_HANDLE_VALUE
                           : Win32.CreateFileW(path.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
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
  TTemplateRead Read(const TPathName& path, TLargeBuffer& content) override {
    TReadFile file(WidePath(path));
    if (file.Handle() == INVALID_HANDLE_VALUE) return trUnreadable;
    LARGE_INTEGER size;
    if (!Win32.GetFileSizeEx(file.Handle(), &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > kMaxTemplateFile)
      return trUnreadable;
    if (!content.Allocate(static_cast<size_t>(size.QuadPart))) return trNoMemory;
    size_t done = 0;
    while (done < content.Capacity()) {
      DWORD got = 0;
      if (!Win32.ReadFile(file.Handle(), content.Data() + done, static_cast<DWORD>(content.Capacity() - done), &got,
                          nullptr) ||
          got == 0)
        return trUnreadable;
      done += got;
    }
    content.SetSize(done);
    return trRead;
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

std::wstring ItemFullPath(const PanelInfo& panel, int index) {
  const TFarFindData& data = panel.SelectedItems[index].FindData;
  const std::string name(data.cFileName, strnlen(data.cFileName, sizeof data.cFileName));
  if (name.find(':') != std::string::npos) return WidePath(name, cpOem);
  const std::wstring folder = AddBackslash(WidePath(std::string(panel.CurDir, strnlen(panel.CurDir, sizeof panel.CurDir)), cpOem));
  const std::wstring given = folder + WidePath(name, cpOem);
  // The host wrote the name in its OEM code page, which may lack some of
  // its characters ("?" or a best-fit letter instead). With the item's 8.3
  // name the file system gives the true one.
  const std::string alias(data.cAlternateFileName, strnlen(data.cAlternateFileName, sizeof data.cAlternateFileName));
  if (alias.empty()) return given;
  wchar_t buffer[kTempPathBuffer];
  const DWORD n = Win32.GetLongPathNameW((folder + WidePath(alias, cpOem)).c_str(), buffer, kTempPathBuffer);
  if (n == 0 || n >= kTempPathBuffer) return given;
  const std::wstring trueName = NamePart(std::wstring_view(buffer, n));
  return trueName == NamePart(given) ? given : folder + trueName;
}

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
  if (panel.PanelType != PTYPE_FILEPANEL) return;
  // Without the temporary folder the page has no place: a bare name would
  // land in whatever folder the host's process is in.
  const std::wstring pagePath = NewPagePath();
  if (FolderPart(pagePath).empty()) {
    ShowMessage({GetMsg(MNoTempFolder)});
    return;
  }
  // The library's folder, in the host's code page like every name it gives.
  const TPathName pluginFolder(FolderPart(ModuleName()), cpOem);
  TPanelItems items(panel);
  TPageFile page;
  TPageOutcome outcome;
  if (!items.Build()) {
    outcome.Result = prNoMemory;
  } else {
    switch (page.Create(pagePath)) {
      case TPageFile::pcFailed: return;  // nothing made, nothing to say
      case TPageFile::pcNoMemory: outcome.Result = prNoMemory; break;
      case TPageFile::pcCreated: {
        TDCImageInfo probe;
        TProgress progress(items.Count());
        const TAnsiEncoder encoder;
        items.Watch(&progress);
        if (PluginConfig.Template == 0) {
          const std::wstring guide = WidePath(pluginFolder) + WidePath(GetMsg(MGuideFile), cpOem);
          outcome = WriteBuiltInPage(page, items, probe, PluginConfig, BareFileUrl(Utf8Text(guide)), encoder);
        } else {
          TWin32TemplateFiles files;
          TLocaleDateText dates;
          outcome = WriteTemplatePage(page, items, probe, PluginConfig, pluginFolder, files, dates, encoder);
        }
        items.Watch(nullptr);
        progress.End();
        break;
      }
    }
  }
  const bool written = page.Close();
  if (outcome.Result == prDone) {
    // A page that could not be written completely keeps what reached the
    // disk and is not opened.
    if (written) OpenPage(pagePath);
    return;
  }
  // A stopped or failed job leaves no half-written page behind.
  Win32.DeleteFileW(pagePath.c_str());
  switch (outcome.Result) {
    case prNoMemory: ShowMessage({GetMsg(MNotEnoughMemory)}); break;
    case prTemplateUnreadable:
      ShowMessage({GetMsg(MCannotReadTemplate), outcome.Template, GetMsg(MInFolder), AddBackslash(pluginFolder.Text)});
      break;
    case prLineTooLong: ShowMessage({GetMsg(MTemplateLineTooLong), outcome.Template}); break;
    default: break;  // Esc: the user knows
  }
}
