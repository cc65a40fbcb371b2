#include "utilities/Clipboard.h"

#include <cstring>

#include "core/Host.h"
#include "core/Messages.h"
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

// A global block, freed unless it was handed to the clipboard.
class TGlobalBlock {
 public:
  explicit TGlobalBlock(size_t bytes) : block_(Win32.GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
  ~TGlobalBlock() {
    if (block_) Win32.GlobalFree(block_);
  }
  TGlobalBlock(const TGlobalBlock&) = delete;
  TGlobalBlock& operator=(const TGlobalBlock&) = delete;
  HGLOBAL Handle() const { return block_; }
  // True when the clipboard took the block (it owns it then).
  bool Give(UINT format) {
    if (!block_ || !Win32.SetClipboardData(format, block_)) return false;
    block_ = nullptr;
    return true;
  }

 private:
  HGLOBAL block_;
};

// The text that each(piece) hands out piece by piece, in UTF-16 and ANSI
// blocks of the measured size.
template <typename TEach>
TClipboardResult CopyPieces(TEach each) {
  size_t units = 0;
  each([&](std::wstring_view piece) { units += piece.size(); });
  TOpenClipboard clipboard;
  if (!clipboard.IsOpen()) return crHeld;
  Win32.EmptyClipboard();
  if (units == 0) return crCopied;
  if (units > (SIZE_MAX / sizeof(wchar_t)) - 1 || units > 0x7FFFFFFE) return crNoMemory;
  TGlobalBlock unicode((units + 1) * sizeof(wchar_t));
  wchar_t* text = unicode.Handle() ? static_cast<wchar_t*>(Win32.GlobalLock(unicode.Handle())) : nullptr;
  if (!text) return crNoMemory;
  size_t at = 0;
  each([&](std::wstring_view piece) {
    std::memcpy(text + at, piece.data(), piece.size() * sizeof(wchar_t));
    at += piece.size();
  });
  text[units] = L'\0';
  // The ANSI text from it, measured first; its block may be missing.
  const int length = static_cast<int>(units + 1);
  const int bytes = Win32.WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  TGlobalBlock ansi(bytes > 0 ? static_cast<size_t>(bytes) : 1);
  char* narrow = bytes > 0 && ansi.Handle() ? static_cast<char*>(Win32.GlobalLock(ansi.Handle())) : nullptr;
  if (narrow) {
    Win32.WideCharToMultiByte(CP_ACP, 0, text, length, narrow, bytes, nullptr, nullptr);
    Win32.GlobalUnlock(ansi.Handle());
  }
  Win32.GlobalUnlock(unicode.Handle());
  const bool ansiGiven = narrow && ansi.Give(CF_TEXT);
  const bool unicodeGiven = unicode.Give(CF_UNICODETEXT);
  return ansiGiven || unicodeGiven ? crCopied : crRefused;
}

}  // namespace

TClipboardResult CopyToClipboard(const std::wstring& text) {
  return CopyPieces([&](auto put) { put(text); });
}

void CopySelectedNames() {
  THost& host = Host();
  TSelection selection;
  switch (host.Selection(selection, false)) {
    case srNoFiles: return;
    case srNoMemory: host.Message({host.Msg(MNotEnoughMemory)}); return;
    default: break;
  }
  const TClipboardResult result = CopyPieces([&](auto put) {
    for (int i = 0; i < selection.Count(); ++i) {
      put(selection.PathView(i));
      put(L"\r\n");
    }
  });
  if (result == crNoMemory) host.Message({host.Msg(MNotEnoughMemory)});
}
