#include "gallery/PageJob.h"

#include <cstring>

#include "core/Host.h"
#include "core/JobProgress.h"
#include "core/Messages.h"
#include "gallery/BuiltInPage.h"
#include "gallery/LocaleText.h"
#include "gallery/PathText.h"
#include "gallery/TemplatePage.h"
#include "imageinfo/DCImageInfo.h"
#include "platform/Files.h"
#include "platform/LargeMemory.h"
#include "platform/SystemError.h"
#include "platform/TempFolder.h"
#include "platform/Unicode.h"
#include "platform/WidePath.h"
#include "platform/Win32Api.h"
#include "settings/PluginConfig.h"
#include "thumbnails/ThumbnailStep.h"

namespace {

// Attributes of a file whose data is not on the disk: opening it would
// start a download of the whole file.
constexpr DWORD kRemoteData = 0x1000 | 0x40000 | 0x400000;  // offline, recall on open, recall on data access

// The worker that makes copies, beside the DLL.
constexpr wchar_t kWorkerProgram[] = L"GalvoraThumbs.exe";

// The page's pictures: the selected items but folders, in the order of the
// selection, as the job has probed them and made their copies.
class TJobItems final : public TPageItems {
 public:
  TJobItems(const TSelection& selection, const TLargeArray<TPicture>& pictures, const TThumbnailStep& step)
      : selection_(selection), pictures_(pictures), step_(step) {}
  int Count() const override { return static_cast<int>(pictures_.Size()); }
  std::wstring FullPath(int index) const override { return selection_.Path(pictures_[index].Item); }
  TFileTime CreationTime(int index) const override { return selection_.Created(pictures_[index].Item); }
  const TPicture& Picture(int index) const override { return pictures_[index]; }
  std::wstring ShownPath(int index) const override { return step_.ShownPath(pictures_[index]); }
  std::string InlineImage(int index) const override { return step_.InlineImage(pictures_[index]); }
  bool LazyFullSize() const override { return step_.Active(); }

 private:
  const TSelection& selection_;
  const TLargeArray<TPicture>& pictures_;
  const TThumbnailStep& step_;
};

// Probes every picture that the picture index does not know (a file whose
// data is not on the disk is not opened: it is listed like one that is not
// recognised, with the length the host reported), and plans its copy.
// False when the user stopped it.
bool ProbePictures(const TSelection& selection, TLargeArray<TPicture>& pictures, TThumbnailStep& step,
                   TJobProgress& progress) {
  TDCImageInfo probe;
  probe.KeepStream = true;
  for (size_t i = 0; i < pictures.Size(); ++i) {
    TPicture& picture = pictures[i];
    const std::wstring path = selection.Path(picture.Item);
    if (!progress.Next(MReadingImages, static_cast<int>(i), static_cast<int>(pictures.Size()), NamePart(path)))
      return false;
    const TSelection::TItemInfo& item = selection.Info(picture.Item);
    if (item.Attributes & kRemoteData) {
      picture.FileSize = static_cast<int32_t>(item.Size < 0x7FFFFFFFu ? item.Size : 0x7FFFFFFFu);
      picture.Unread = 1;
    } else if (!step.Recall(picture, path, item.Size, item.LastWrite)) {
      probe.ReadInfo(path);
      CopyProbeResult(picture, probe);
      if (probe.Stream) step.Learn(picture, probe);
      else picture.Unread = 1;
      probe.Stream.reset();
    }
    step.Plan(picture, path, item.Size, item.LastWrite);
  }
  return true;
}

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

class TWin32TemplateFiles final : public TTemplateFiles {
 public:
  TTemplateRead Read(const std::wstring& path, TLargeBuffer& content) override {
    switch (path.empty() ? frUnreadable : ReadWholeFile(path, kMaxTemplateFile, content)) {
      case frRead: return trRead;
      case frNoMemory: return trNoMemory;
      default: return trUnreadable;
    }
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
  TLargeArray<TPicture> pictures;
  for (int i = 0; i < selection.Count(); ++i) {
    TPicture picture;
    picture.Item = i;
    if (!(selection.Attributes(i) & FILE_ATTRIBUTE_DIRECTORY) && !pictures.Push(picture)) {
      host.Message({host.Msg(MNotEnoughMemory)});
      return;
    }
  }
  // Only folders, or nothing at all (the cursor on ".."): no page to make.
  if (pictures.Size() == 0) {
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

  // The pictures, then their copies, then the page, which only writes.
  TThumbnailStep thumbnails(PluginConfig, PluginConfig.Thumbnails != 0, pluginFolder + kWorkerProgram);
  {
    TJobProgress progress;
    if (!ProbePictures(selection, pictures, thumbnails, progress)) return;  // Esc: the user knows
    if (!thumbnails.MakeCopies(pictures, selection, progress)) return;
  }
  TJobItems items(selection, pictures, thumbnails);

  TPageFile page;
  TPageFile::TCreate created = TPageFile::pcFailed;
  const std::wstring pagePath = CreatePage(page, folder, created);
  if (created == TPageFile::pcNoMemory) {
    host.Message({host.Msg(MNotEnoughMemory)});
    return;
  }
  if (pagePath.empty()) {
    host.Message({host.Msg(MCannotWritePage), folder + L"galv...", SystemErrorText(page.Error())});
    return;
  }
  TPageOutcome outcome;
  if (PluginConfig.Template == 0) {
    const std::string guide = BareFileUrl(Utf8Encode(pluginFolder + host.Msg(MGuideFile)));
    outcome = WriteBuiltInPage(page, items, PluginConfig, guide, host.PageEncoder());
  } else {
    TWin32TemplateFiles files;
    TLocaleDateText dates(host.TemplateEncoder());
    outcome = WriteTemplatePage(page, items, PluginConfig, pluginFolder, files, dates, host.TemplateEncoder());
  }
  const bool written = page.Close();
  if (outcome.Result == prDone && written) {
    OpenPage(pagePath);
    thumbnails.Finish(pictures);
    return;
  }
  // A failed job leaves no half-written page behind.
  Win32.DeleteFileW(LongPathForm(pagePath).c_str());
  const std::wstring name(outcome.Template.begin(), outcome.Template.end());
  switch (outcome.Result) {
    case prDone: host.Message({host.Msg(MCannotWritePage), pagePath, SystemErrorText(page.Error())}); break;
    case prNoMemory: host.Message({host.Msg(MNotEnoughMemory)}); break;
    case prTemplateUnreadable:
      host.Message({host.Msg(MCannotReadTemplate), name, host.Msg(MInFolder), pluginFolder});
      break;
    case prLineTooLong: host.Message({host.Msg(MTemplateLineTooLong), name}); break;
    default: break;
  }
}
