#include "host/ansi/AnsiHost.h"

#include <cstring>

#include "core/Messages.h"
#include "gallery/PathText.h"
#include "host/ansi/FarUtil.h"
#include "host/ansi/AnsiEncoder.h"
#include "platform/WidePath.h"
#include "platform/Win32Api.h"
#include "host/ansi/Registry.h"

namespace {

constexpr DWORD kLongPathBuffer = 1024;

std::vector<std::string> Oem(const std::vector<std::wstring>& lines) {
  std::vector<std::string> out;
  for (const std::wstring& line : lines) out.push_back(OemText(line));
  return out;
}

class TAnsiHost final : public THost {
 public:
  std::wstring Msg(int id) override { return WidePath(GetMsg(id), cpOem); }

  int Dialog(const TDialogDescription& description, int width, int height, const char* helpTopic) override {
    return RunDialog(helpTopic, description, width, height);
  }

  void Message(const std::vector<std::wstring>& lines) override { ShowMessage(Oem(lines)); }

  void Progress(const std::vector<std::wstring>& lines, int, int) override {
    if (!screen_) screen_ = SaveHostScreen();
    ShowProgressBox(Oem(lines));
  }

  void EndProgress() override {
    RestoreHostScreen(screen_);
    screen_ = nullptr;
  }

  TSelectionResult Selection(TSelection& items, bool filesOnly) override {
    // The clipboard takes whatever the panel reports; a page needs real
    // files, which a plugin's panel (an archive, FTP) shows only when it says so.
    const bool real = panel_ && panel_->PanelType == PTYPE_FILEPANEL &&
                      (!panel_->Plugin || (panel_->Flags & PFLAGS_REALNAMES));
    if (!panel_ || (filesOnly && !real)) {
      Message({Msg(MNoFilePanel)});
      return srNoFiles;
    }
    const int count = panel_->SelectedItems ? panel_->SelectedItemsNumber : 0;
    for (int i = 0; i < count; ++i) {
      const TFarFindData& data = panel_->SelectedItems[i].FindData;
      const TSelection::TItemInfo info = {data.dwFileAttributes,
                                          {data.ftCreationTime.dwLowDateTime, data.ftCreationTime.dwHighDateTime},
                                          {data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime},
                                          uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow};
      if (!items.Add(ItemFullPath(*panel_, i), info))
        return srNoMemory;
    }
    return srFiles;
  }

  std::wstring PluginFolder() override { return WidePath(FolderPart(ModuleName()), cpOem); }
  TSettingsStore& Settings() override { return RegistryStore(); }
  const TPageEncoder& PageEncoder() override { return encoder_; }
  const TPageEncoder& TemplateEncoder() override { return encoder_; }

  const PanelInfo* panel_ = nullptr;

 private:
  void* screen_ = nullptr;
  TAnsiEncoder encoder_;
};

TAnsiHost gHost;

}  // namespace

THost& AnsiHost() { return gHost; }

void SetAnsiPanel(const PanelInfo* panel) { gHost.panel_ = panel; }

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
  wchar_t buffer[kLongPathBuffer];
  const DWORD n = Win32.GetLongPathNameW((folder + WidePath(alias, cpOem)).c_str(), buffer, kLongPathBuffer);
  if (n == 0 || n >= kLongPathBuffer) return given;
  const std::wstring trueName = NamePart(std::wstring_view(buffer, n));
  return trueName == NamePart(given) ? given : folder + trueName;
}
