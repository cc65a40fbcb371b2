#include "tools/hostemu/UnicodeBench.h"
#include "tools/hostemu/HostBench.h"

#include <cstring>
#include <fstream>
#include <sstream>

using namespace bench3;

TUnicodeBench* TUnicodeBench::Current = nullptr;

namespace {

#define HOST_SIZE(type, s32, s64) static_assert(sizeof(type) == (sizeof(void*) == 8 ? (s64) : (s32)), #type)
HOST_SIZE(GlobalInfo, 76, 96);
HOST_SIZE(PluginInfo, 64, 104);
HOST_SIZE(OpenInfo, 20, 40);
HOST_SIZE(OpenMacroInfo, 12, 24);
HOST_SIZE(FarMacroValue, 16, 24);
HOST_SIZE(FarMenuItem, 32, 48);
HOST_SIZE(FarDialogItem, 64, 112);
HOST_SIZE(PanelInfo, 80, 104);
HOST_SIZE(FarPanelDirectory, 32, 48);
HOST_SIZE(PluginPanelItem, 112, 160);
HOST_SIZE(FarGetPluginPanelItem, 12, 24);
HOST_SIZE(FarSettingsCreate, 24, 32);
HOST_SIZE(FarSettingsItem, 24, 48);
HOST_SIZE(ProgressValue, 24, 24);
HOST_SIZE(PluginStartupInfo, 140, 280);
#undef HOST_SIZE

// The dialogs the plugin has open: their items and the user's edits.
struct TOpenDialog {
  std::vector<FarDialogItem> Items;
  std::vector<std::wstring> Texts;
  size_t Call;
};
std::map<void*, TOpenDialog> gDialogs;
int gNextDialog = 1;
std::vector<std::wstring> gSettingsText;  // strings handed out by GET, alive until FREE

const wchar_t kNoText[] = L"";

}  // namespace

struct THost3Services {
  static const wchar_t* WINAPI GetMsg(const GUID*, intptr_t id) {
    TUnicodeBench* b = TUnicodeBench::Current;
    return id >= 0 && static_cast<size_t>(id) < b->Messages.size() ? b->Messages[id].c_str() : kNoText;
  }

  static intptr_t WINAPI Menu(const GUID*, const GUID*, intptr_t, intptr_t, intptr_t, unsigned long long flags,
                              const wchar_t* title, const wchar_t*, const wchar_t* help, const FarKey*,
                              intptr_t* breakCode, const FarMenuItem* items, size_t count) {
    TUnicodeBench* b = TUnicodeBench::Current;
    if (breakCode) *breakCode = -1;
    TMenu3Call call{title ? title : L"", help ? help : L"", flags, {}, 0};
    for (size_t i = 0; i < count; ++i) {
      call.Items.push_back(items[i].Text ? items[i].Text : L"");
      if (items[i].Flags & 0x10000) call.Highlighted = static_cast<int>(i);
    }
    b->Menus.push_back(call);
    if (b->MenuAnswers.empty()) return -1;
    const int answer = b->MenuAnswers.front();
    b->MenuAnswers.pop_front();
    return answer;
  }

  static intptr_t WINAPI Message(const GUID*, const GUID*, unsigned long long flags, const wchar_t*,
                                 const wchar_t* const* items, size_t count, intptr_t buttons) {
    TUnicodeBench* b = TUnicodeBench::Current;
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < count; ++i) lines.push_back(items[i] ? items[i] : L"");
    b->Boxes.push_back(lines);
    b->BoxFlags.push_back(flags);
    return buttons > 0 || (flags & 0xF0000) ? 0 : -1;
  }

  // The panel: its information, its folder and its selected items, each
  // buffer filled only when it is large enough, as the host does.
  static intptr_t WINAPI PanelControl(HANDLE, int command, intptr_t param1, void* param2) {
    TUnicodeBench* b = TUnicodeBench::Current;
    switch (command) {
      case 1: {  // FCTL_GETPANELINFO
        auto* p = static_cast<PanelInfo*>(param2);
        if (!p || p->StructSize < sizeof(PanelInfo)) return 0;
        std::memset(p, 0, sizeof *p);
        p->StructSize = sizeof *p;
        p->PanelType = b->PanelType;
        p->Flags = b->PanelFlags;
        p->SelectedItemsNumber = b->Selection.size();
        p->ItemsNumber = b->Selection.size() + 1;
        return 1;
      }
      case 24: {  // FCTL_GETPANELDIRECTORY
        const size_t need = sizeof(FarPanelDirectory) + (b->Folder.size() + 3) * sizeof(wchar_t);
        auto* d = static_cast<FarPanelDirectory*>(param2);
        if (d && static_cast<size_t>(param1) >= need && d->StructSize >= sizeof(FarPanelDirectory)) {
          std::memset(d, 0, sizeof *d);
          d->StructSize = sizeof *d;
          wchar_t* text = reinterpret_cast<wchar_t*>(d + 1);
          std::memcpy(text, b->Folder.c_str(), (b->Folder.size() + 1) * sizeof(wchar_t));
          d->Name = text;
          text[b->Folder.size() + 1] = 0;
          d->File = d->Param = text + b->Folder.size() + 1;
        }
        return static_cast<intptr_t>(need);
      }
      case 22: {  // FCTL_GETSELECTEDPANELITEM
        if (param1 < 0 || static_cast<size_t>(param1) >= b->Selection.size()) return 0;
        const TPanel3Item& item = b->Selection[param1];
        const size_t need = sizeof(PluginPanelItem) + (item.Name.size() + 1) * sizeof(wchar_t);
        auto* get = static_cast<FarGetPluginPanelItem*>(param2);
        if (!get) return static_cast<intptr_t>(need);
        if (get->StructSize < sizeof(FarGetPluginPanelItem)) return 0;
        if (get->Size < sizeof(PluginPanelItem)) return static_cast<intptr_t>(need);
        PluginPanelItem* p = get->Item;
        std::memset(p, 0, sizeof *p);
        p->CreationTime = item.Created;
        p->FileSize = item.Size;
        p->FileAttributes = item.Attributes;
        p->Flags = 0x40000000;
        if (get->Size >= need) {
          wchar_t* name = reinterpret_cast<wchar_t*>(p + 1);
          std::memcpy(name, item.Name.c_str(), (item.Name.size() + 1) * sizeof(wchar_t));
          p->FileName = name;
        }
        return static_cast<intptr_t>(need);
      }
      default: return 0;
    }
  }

  static intptr_t WINAPI AdvControl(const GUID*, int command, intptr_t param1, void* param2) {
    TUnicodeBench* b = TUnicodeBench::Current;
    if (command == 22 && param2) {
      const auto* v = static_cast<const ProgressValue*>(param2);
      if (v->StructSize < sizeof(ProgressValue)) return 0;
      b->Taskbar.push_back({command, v->Completed});
    } else {
      b->Taskbar.push_back({command, static_cast<unsigned long long>(param1)});
    }
    return 1;
  }

  static HANDLE WINAPI DialogInit(const GUID*, const GUID* id, intptr_t, intptr_t, intptr_t x2, intptr_t y2,
                                  const wchar_t* help, const FarDialogItem* items, size_t count, intptr_t,
                                  unsigned long long, void*, void*) {
    TUnicodeBench* b = TUnicodeBench::Current;
    if (!id || !items || count == 0) return INVALID_HANDLE_VALUE;
    // The host copies the items and their texts at once.
    TOpenDialog dialog{std::vector<FarDialogItem>(items, items + count), {}, b->Dialogs.size()};
    for (size_t i = 0; i < count; ++i) dialog.Texts.push_back(items[i].Data ? items[i].Data : L"");
    b->Dialogs.push_back({x2, y2, help ? help : L"", dialog.Items, dialog.Texts, -1});
    HANDLE handle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(gNextDialog++));
    gDialogs[handle] = dialog;
    return handle;
  }

  static intptr_t WINAPI DialogRun(HANDLE handle) {
    TUnicodeBench* b = TUnicodeBench::Current;
    TOpenDialog& d = gDialogs[handle];
    intptr_t result = -1;
    if (!b->DialogAnswers.empty()) {
      const TDialog3Answer answer = b->DialogAnswers.front();
      b->DialogAnswers.pop_front();
      for (const auto& edit : answer.Edits)
        if (edit.first >= 0 && static_cast<size_t>(edit.first) < d.Texts.size()) d.Texts[edit.first] = edit.second;
      for (int index : answer.Toggles)
        if (index >= 0 && static_cast<size_t>(index) < d.Items.size()) d.Items[index].Selected = !d.Items[index].Selected;
      result = answer.Result;
    }
    b->Dialogs[d.Call].Result = result;
    return result;
  }

  static void WINAPI DialogFree(HANDLE handle) { gDialogs.erase(handle); }

  static intptr_t WINAPI SendDlgMessage(HANDLE handle, intptr_t msg, intptr_t item, void*) {
    auto it = gDialogs.find(handle);
    if (it == gDialogs.end() || item < 0 || static_cast<size_t>(item) >= it->second.Items.size()) return 0;
    if (msg == 25) return it->second.Items[item].Selected;  // DM_GETCHECK
    if (msg == 63) return reinterpret_cast<intptr_t>(it->second.Texts[item].c_str());  // DM_GETCONSTTEXTPTR
    return 0;
  }

  // The store: CREATE for this plugin's GUID only, GET and SET by name
  // and type, FREE commits.
  static intptr_t WINAPI SettingsControl(HANDLE, int command, intptr_t, void* param2) {
    TUnicodeBench* b = TUnicodeBench::Current;
    switch (command) {
      case 0: {
        auto* c = static_cast<FarSettingsCreate*>(param2);
        if (!c || c->StructSize < sizeof(FarSettingsCreate) || std::memcmp(&c->Guid, &b->PluginGuid, sizeof(GUID)) != 0)
          return 0;
        c->Handle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(77));
        ++b->Opens;
        return 1;
      }
      case 1:
        ++b->Commits;
        gSettingsText.clear();
        return 1;
      case 2:
      case 3: {
        auto* item = static_cast<FarSettingsItem*>(param2);
        if (!item || item->StructSize < sizeof(FarSettingsItem) || item->Root != 0 || !item->Name) return 0;
        const std::wstring name = item->Name;
        if (command == 2) {
          if (item->Type == 2) b->Numbers[name] = item->Number, b->Texts.erase(name);
          else if (item->Type == 3) b->Texts[name] = item->String ? item->String : L"", b->Numbers.erase(name);
          else return 0;
          return 1;
        }
        if (item->Type == 2 && b->Numbers.count(name)) return item->Number = b->Numbers[name], 1;
        if (item->Type == 3 && b->Texts.count(name)) {
          gSettingsText.push_back(b->Texts[name]);
          item->String = gSettingsText.back().c_str();
          return 1;
        }
        return 0;
      }
      default: return 0;
    }
  }
};

TUnicodeBench::TUnicodeBench() {
  Current = this;
  std::memset(&info_, 0, sizeof info_);
  std::memset(fsf_, 0, sizeof fsf_);
}

TUnicodeBench::~TUnicodeBench() {
  if (module_) FreeLibrary(module_);
  if (Current == this) Current = nullptr;
}

bool TUnicodeBench::Load(const std::wstring& dllPath) {
  module_ = LoadLibraryW(dllPath.c_str());
  if (!module_) return error_ = "cannot load the DLL", false;
  const char* names[6] = {"GetGlobalInfoW", "SetStartupInfoW", "GetPluginInfoW", "OpenW", "ConfigureW", "ExitFARW"};
  for (int i = 0; i < 6; ++i) {
    FARPROC p = GetProcAddress(module_, names[i]);
    if (!p) error_ += std::string(error_.empty() ? "" : ", ") + "no export named " + names[i];
    std::memcpy(&entries_[i], &p, sizeof p);
  }
  moduleName_ = dllPath;
  PatchImport(module_, "shell32.dll", "ShellExecuteExW", reinterpret_cast<void*>(RecordedShellExecuteExW));
  return error_.empty();
}

bool TUnicodeBench::LoadLanguage(const std::wstring& lngPath) {
  std::ifstream in(lngPath.c_str(), std::ios::binary);
  if (!in) return false;
  Messages.clear();
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.size() < 2 || line[0] != '"') continue;
    const std::string text = line.substr(1, line.back() == '"' ? line.size() - 2 : line.size() - 1);
    std::wstring wide(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                      static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n : 0);
    Messages.push_back(wide);
  }
  return !Messages.empty();
}

GlobalInfo TUnicodeBench::GetGlobalInfo() {
  Current = this;
  GlobalInfo info;
  std::memset(&info, 0, sizeof info);
  info.StructSize = sizeof info;
  reinterpret_cast<void(WINAPI*)(GlobalInfo*)>(entries_[0])(&info);
  PluginGuid = info.Guid;
  return info;
}

void TUnicodeBench::Start(size_t structSize) {
  Current = this;
  GetGlobalInfo();
  std::memset(&info_, 0, sizeof info_);
  info_.StructSize = structSize ? structSize : sizeof info_;
  info_.ModuleName = moduleName_.c_str();
  void** s = info_.Slots;
  s[sMenu] = reinterpret_cast<void*>(THost3Services::Menu);
  s[sMessage] = reinterpret_cast<void*>(THost3Services::Message);
  s[sGetMsg] = reinterpret_cast<void*>(THost3Services::GetMsg);
  s[sPanelControl] = reinterpret_cast<void*>(THost3Services::PanelControl);
  *reinterpret_cast<size_t*>(fsf_) = sizeof fsf_;
  s[sFSF] = fsf_;
  s[sAdvControl] = reinterpret_cast<void*>(THost3Services::AdvControl);
  s[sDialogInit] = reinterpret_cast<void*>(THost3Services::DialogInit);
  s[sDialogRun] = reinterpret_cast<void*>(THost3Services::DialogRun);
  s[sDialogFree] = reinterpret_cast<void*>(THost3Services::DialogFree);
  s[sSendDlgMessage] = reinterpret_cast<void*>(THost3Services::SendDlgMessage);
  s[sSettingsControl] = reinterpret_cast<void*>(THost3Services::SettingsControl);
  // The host's record is a local of its own: gone when the call returns.
  PluginStartupInfo local = info_;
  reinterpret_cast<void(WINAPI*)(const PluginStartupInfo*)>(entries_[1])(&local);
  std::memset(&local, 0xCC, sizeof local);
}

PluginInfo TUnicodeBench::GetPluginInfo() {
  Current = this;
  PluginInfo info;
  std::memset(&info, 0, sizeof info);
  info.StructSize = sizeof info;
  reinterpret_cast<void(WINAPI*)(PluginInfo*)>(entries_[2])(&info);
  return info;
}

HANDLE TUnicodeBench::OpenFromMenu() {
  Current = this;
  const PluginInfo plugin = GetPluginInfo();
  OpenInfo info = {sizeof(OpenInfo), 1, plugin.PluginMenu.Guids, 0, nullptr};
  return reinterpret_cast<HANDLE(WINAPI*)(const OpenInfo*)>(entries_[3])(&info);
}

HANDLE TUnicodeBench::OpenFromMacro(const std::vector<FarMacroValue>& values) {
  Current = this;
  static const GUID kZero = {};
  OpenMacroInfo macro = {sizeof(OpenMacroInfo), values.size(), values.data()};
  OpenInfo info = {sizeof(OpenInfo), 11, &kZero, reinterpret_cast<intptr_t>(&macro), nullptr};
  return reinterpret_cast<HANDLE(WINAPI*)(const OpenInfo*)>(entries_[3])(&info);
}

intptr_t TUnicodeBench::Configure() {
  Current = this;
  const PluginInfo plugin = GetPluginInfo();
  ConfigureInfo info = {sizeof(ConfigureInfo), plugin.PluginConfig.Guids, nullptr};
  return reinterpret_cast<intptr_t(WINAPI*)(const ConfigureInfo*)>(entries_[4])(&info);
}

void TUnicodeBench::Exit() {
  Current = this;
  ExitInfo info = {sizeof(ExitInfo), nullptr};
  reinterpret_cast<void(WINAPI*)(const ExitInfo*)>(entries_[5])(&info);
}

bool TUnicodeBench::SelectFile(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  TPanel3Item item;
  item.Name = data.cFileName;
  item.Attributes = data.dwFileAttributes;
  item.Created = data.ftCreationTime;
  item.Size = static_cast<unsigned long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  Selection.push_back(item);
  return true;
}
