#include "utilities/Clipboard.h"

#include <cstring>

#include "gallery/PageJob.h"
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

}  // namespace

bool CopyToClipboard(const std::string& text) {
  TOpenClipboard clipboard;
  if (!clipboard.IsOpen()) return false;
  Win32.EmptyClipboard();
  if (text.empty()) return true;

  HGLOBAL block = Win32.GlobalAlloc(GMEM_DDESHARE, text.size() + 1);
  if (!block) return false;
  void* data = Win32.GlobalLock(block);
  if (!data) {
    Win32.GlobalFree(block);
    return false;
  }
  std::memcpy(data, text.c_str(), text.size() + 1);
  Win32.GlobalUnlock(block);
  if (Win32.SetClipboardData(CF_TEXT, block)) return true;
  // Refused: the block still belongs to us.
  Win32.GlobalFree(block);
  return false;
}

void CopySelectedNames(const PanelInfo& panel) {
  std::string text;
  const int count = panel.SelectedItems ? panel.SelectedItemsNumber : 0;
  for (int i = 0; i < count; ++i) {
    text += ItemFullPath(panel, i);
    text += "\r\n";
  }
  CopyToClipboard(text);
}
