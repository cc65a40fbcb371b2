#include "utilities/Clipboard.h"

#include <cstring>

#include "core/Host.h"
#include "core/Messages.h"
#include "platform/WidePath.h"
#include "platform/Win32Api.h"

namespace {

class TOpenClipboard {
 public:
  TOpenClipboard() : open_(Win32.OpenClipboard(nullptr) != FALSE) {}
  ~TOpenClipboard() {
    if (open_) Win32.CloseClipboard();
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// Hands `size` bytes to the open clipboard in the format; true when it took
// them. A block that it refused, or that could not be filled, is freed.
bool PutBlock(UINT format, const void* bytes, size_t size) {
  HGLOBAL block = Win32.GlobalAlloc(GMEM_DDESHARE, size);
  if (!block) return false;
  void* data = Win32.GlobalLock(block);
  if (!data) {
    Win32.GlobalFree(block);
    return false;
  }
  std::memcpy(data, bytes, size);
  Win32.GlobalUnlock(block);
  if (Win32.SetClipboardData(format, block)) return true;
  Win32.GlobalFree(block);
  return false;
}

}  // namespace

bool CopyToClipboard(const std::string& text) { return CopyToClipboard(text, WidePath(text, cpAnsi)); }

bool CopyToClipboard(const std::string& text, const std::wstring& unicode) {
  TOpenClipboard clipboard;
  if (!clipboard.IsOpen()) return false;
  Win32.EmptyClipboard();
  if (text.empty() && unicode.empty()) return true;

  if (!PutBlock(CF_TEXT, text.c_str(), text.size() + 1)) return false;
  // Windows would make the Unicode text from CF_TEXT with the code page of
  // whatever keyboard layout is active when a program pastes, and lose what
  // the ANSI text lacks. Given here, it is the paths themselves.
  if (!unicode.empty()) PutBlock(CF_UNICODETEXT, unicode.c_str(), (unicode.size() + 1) * sizeof(wchar_t));
  return true;
}

void CopySelectedNames() {
  TSelection selection;
  switch (Host().Selection(selection, false)) {
    case srNoFiles: return;
    case srNoMemory: Host().Message({Host().Msg(MNotEnoughMemory)}); return;
    default: break;
  }
  std::wstring text;
  for (int i = 0; i < selection.Count(); ++i) {
    text += selection.Path(i);
    text += L"\r\n";
  }
  CopyToClipboard(AnsiText(text), text);
}
