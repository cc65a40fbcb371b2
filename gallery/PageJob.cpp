#include "gallery/PageJob.h"

#include <cstring>

#include "gallery/BuiltInPage.h"
#include "gallery/LocaleText.h"
#include "gallery/PathText.h"
#include "gallery/TemplatePage.h"
#include "core/Host.h"
#include "core/Messages.h"
#include "platform/LargeMemory.h"
#include "platform/SystemError.h"
#include "platform/Unicode.h"
#include "platform/TempFolder.h"
#include "platform/WidePath.h"
#include "platform/Win32Api.h"
#include "settings/PluginConfig.h"

namespace {

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
    shown_ = true;
    drawn_ = now;
    THost& host = Host();
    const std::string of[2] = {std::to_string(done + 1), std::to_string(total_)};
    const std::wstring count = std::wstring(of[0].begin(), of[0].end()) + L" " + host.Msg(MOfTotal) + L" " +
                               std::wstring(of[1].begin(), of[1].end());
    host.Progress({Shortened(host.Msg(MReadingImages), kProgressWidth), Shortened(count, kProgressWidth),
                   Shortened(NamePart(path), kProgressWidth)},
                  done, total_);
    return true;
  }

  // Takes the box away (puts the screen back as it was).
  void End() {
    if (shown_) Host().EndProgress();
    shown_ = false;
  }

 private:
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
};

// The items of the page: every selected item but folders, in the order of
// the selection. Their list is a large block; Build says whether it could
// be had.
class TSelectionItems final : public TPageItems {
 public:
  explicit TSelectionItems(const TSelection& selection) : selection_(selection) {}

  bool Build() {
    if (!list_.Allocate(sizeof(int32_t) * static_cast<size_t>(selection_.Count()))) return false;
    int32_t* list = reinterpret_cast<int32_t*>(list_.Data());
    for (int i = 0; i < selection_.Count(); ++i)
      if (!(selection_.Attributes(i) & FILE_ATTRIBUTE_DIRECTORY)) list[count_++] = i;
    return true;
  }

  void Watch(TProgress* progress) { progress_ = progress; }

  int Count() const override { return count_; }
  std::wstring FullPath(int index) const override { return selection_.Path(Item(index)); }
  TFileTime CreationTime(int index) const override { return selection_.Created(Item(index)); }

  bool Probe(int index, TDCImageInfo& probe) override {
    const std::wstring name = FullPath(index);
    if (progress_ && !progress_->Next(index, name)) return false;
    if (!(selection_.Attributes(Item(index)) & kRemoteData)) {
      probe.ReadInfo(name);
      return true;
    }
    // Not opened: listed like a file that is not recognised, with the
    // length the host reported.
    probe.Clear();
    probe.Orientation = 0;
    probe.Failure = pfUnreadable;
    const uint64_t size = selection_.Size(Item(index));
    probe.FileSize = static_cast<int32_t>(size < 0x7FFFFFFFu ? size : 0x7FFFFFFFu);
    return true;
  }

 private:
  int Item(int index) const { return reinterpret_cast<const int32_t*>(list_.Data())[index]; }

  const TSelection& selection_;
  TLargeBuffer list_;
  int count_ = 0;
  TProgress* progress_ = nullptr;
};

// The page file: created new (never over another file), readable by others
// while it is written, and written through a buffer of its own (a large
// block) so that a page of any length streams to disk. The first write that
// fails is kept, with the system's error: later text is dropped, and Close
// reports it.
class TPageFile final : public TPageSink {
 public:
  ~TPageFile() override { Close(); }

  enum TCreate { pcCreated, pcExists, pcFailed, pcNoMemory };
  TCreate Create(const std::wstring& path) {
    if (!buffer_.Allocate(kBufferSize)) return pcNoMemory;
    file_ = Win32.CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ != INVALID_HANDLE_VALUE) return pcCreated;
    error_ = Win32.GetLastError();
    return error_ == ERROR_FILE_EXISTS || error_ == ERROR_ALREADY_EXISTS ? pcExists : pcFailed;
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
  // The system's error of the failed creation or write.
  DWORD Error() const { return error_; }

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
          written == 0) {
        ok_ = false;
        error_ = Win32.GetLastError();
        if (error_ == ERROR_SUCCESS) error_ = ERROR_DISK_FULL;  // nothing written, and no reason given
      }
      done += written;
    }
    buffer_.SetSize(0);
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  TLargeBuffer buffer_;
  bool ok_ = true;
  DWORD error_ = ERROR_SUCCESS;
};

// An open file that is closed on every path out. Others may read, write
// and delete it meanwhile: a template open in an editor is read all the same.
class TReadFile {
 public:
  explicit TReadFile(const std::wstring& path)
      : file_(path.empty() ? INVALID_HANDLE_VALUE
                           : Win32.CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
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
  TTemplateRead Read(const std::wstring& path, TLargeBuffer& content) override {
    TReadFile file(path);
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

std::wstring PageName(int64_t timeNumber, int64_t random) {
  const std::string name = "galv" + std::to_string(timeNumber) + std::to_string(random) + ".htm";
  return std::wstring(name.begin(), name.end());
}

namespace {

// Creates the page file in the folder under the name of this moment; where a
// page of that name exists (another gallery of the same moment), under the
// next random number. The path made, or empty when none could be created.
std::wstring CreatePage(TPageFile& page, const std::wstring& folder, TPageFile::TCreate& result) {
  SYSTEMTIME now;
  Win32.GetLocalTime(&now);
  const uint32_t msOfDay = ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
  const int64_t t = PageTimeNumber(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                                   now.wMilliseconds);
  const int32_t first = RandomPageNumber(msOfDay);
  for (int64_t random = first; random < first + 1000; ++random) {
    const std::wstring path = folder + PageName(t, random);
    result = page.Create(path);
    if (result != TPageFile::pcExists) return result == TPageFile::pcCreated ? path : std::wstring();
  }
  return std::wstring();
}

}  // namespace

void MakeGalleryPage() {
  THost& host = Host();
  TSelection selection;
  switch (host.Selection(selection, true)) {
    case srNoFiles: return;
    case srNoMemory: host.Message({host.Msg(MNotEnoughMemory)}); return;
    default: break;
  }
  TSelectionItems items(selection);
  if (!items.Build()) {
    host.Message({host.Msg(MNotEnoughMemory)});
    return;
  }
  // Only folders, or nothing at all (the cursor on ".."): no page to make.
  if (items.Count() == 0) {
    host.Message({host.Msg(MNoPictures)});
    return;
  }
  // Without the temporary folder the page has no place: a bare name would
  // land in whatever folder the host's process is in.
  const std::wstring folder = GetTempFolder();
  if (folder.empty()) {
    host.Message({host.Msg(MNoTempFolder)});
    return;
  }
  const std::wstring pluginFolder = host.PluginFolder();
  TPageFile page;
  TPageFile::TCreate created = TPageFile::pcFailed;
  const std::wstring pagePath = CreatePage(page, folder, created);
  if (created == TPageFile::pcNoMemory) {
    host.Message({host.Msg(MNotEnoughMemory)});
    return;
  }
  if (pagePath.empty()) {
    host.Message({host.Msg(MCannotWritePage), folder + PageName(0, 0).substr(0, 4) + L"...", SystemErrorText(page.Error())});
    return;
  }
  TPageOutcome outcome;
  {
    TDCImageInfo probe;
    TProgress progress(items.Count());
    items.Watch(&progress);
    if (PluginConfig.Template == 0) {
      const std::string guide = BareFileUrl(Utf8Encode(pluginFolder + host.Msg(MGuideFile)));
      outcome = WriteBuiltInPage(page, items, probe, PluginConfig, guide, host.PageEncoder());
    } else {
      TWin32TemplateFiles files;
      TLocaleDateText dates(host.TemplateEncoder());
      outcome = WriteTemplatePage(page, items, probe, PluginConfig, pluginFolder, files, dates, host.TemplateEncoder());
    }
    items.Watch(nullptr);
  }
  const bool written = page.Close();
  if (outcome.Result == prDone && written) {
    OpenPage(pagePath);
    return;
  }
  // A stopped or failed job leaves no half-written page behind.
  Win32.DeleteFileW(LongPathForm(pagePath).c_str());
  const std::wstring name(outcome.Template.begin(), outcome.Template.end());
  switch (outcome.Result) {
    case prDone: host.Message({host.Msg(MCannotWritePage), pagePath, SystemErrorText(page.Error())}); break;
    case prNoMemory: host.Message({host.Msg(MNotEnoughMemory)}); break;
    case prTemplateUnreadable:
      host.Message({host.Msg(MCannotReadTemplate), name, host.Msg(MInFolder), pluginFolder});
      break;
    case prLineTooLong: host.Message({host.Msg(MTemplateLineTooLong), name}); break;
    default: break;  // Esc: the user knows
  }
}
