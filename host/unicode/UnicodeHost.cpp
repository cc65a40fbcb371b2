#include "host/unicode/UnicodeHost.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/Host.h"
#include "gallery/PageJob.h"
#include "gallery/PathText.h"
#include "core/Messages.h"
#include "host/DialogItemTypes.h"
#include "platform/LargeMemory.h"
#include "platform/Unicode.h"
#include "platform/WidePath.h"
#include "platform/Win32Api.h"
#include "settings/ConfigDialog.h"
#include "settings/PluginConfig.h"
#include "utilities/Clipboard.h"
#include "utilities/PageCleanup.h"

namespace unicode {

using namespace far3;

// The plugin, its two menu entries, and its windows; fixed for good, since
// the host keys the user's hot keys and the settings store on them.
const TGuid kPluginGuid = {0x6F1C3B2A, 0x8E47, 0x4D19, {0xB5, 0xA3, 0x2C, 0x9E, 0x0D, 0x7F, 0x4A, 0x61}};
namespace {
const TGuid kMenuEntryGuid = {0xA3D7E1F0, 0x5B2C, 0x4A8E, {0x9F, 0x16, 0x7C, 0x3B, 0x2E, 0x9D, 0x0A, 0x45}};
const TGuid kConfigEntryGuid = {0x4E8B2D6C, 0x1F9A, 0x47C3, {0x8D, 0x25, 0xB0, 0xE6, 0xA7, 0xC3, 0x1F, 0x98}};
const TGuid kCommandMenuGuid = {0x9C2F7A1E, 0x3D4B, 0x4E86, {0xA5, 0xF0, 0x1B, 0x7D, 0x8C, 0x6E, 0x2A, 0x39}};
const TGuid kDialogGuid = {0x2B5E9D3A, 0x7C1F, 0x4A68, {0xB4, 0xE2, 0x8F, 0x0D, 0x6C, 0x9A, 0x1E, 0x57}};
const TGuid kMessageGuid = {0xD1A6F4C8, 0x2E9B, 0x45D7, {0x8A, 0x3C, 0x6F, 0x1E, 0x0B, 0x9D, 0x7C, 0x24}};

void* const kActivePanel = reinterpret_cast<void*>(static_cast<intptr_t>(-1));
constexpr int kMenuLines = 5;
enum TCommand { cmFullSize, cmThumbnails, cmClipboard, cmCleanup, cmConfigure };

// The host's table, copied: it is the host's stack object, gone when
// SetStartupInfoW returns. The standard functions are not used.
PluginStartupInfo Info;
std::wstring ModulePath;
bool Started = false;

std::wstring Msg(int id) {
  const wchar_t* text = Info.GetMsg ? Info.GetMsg(&kPluginGuid, id) : nullptr;
  return text ? text : L"";
}

// One open of the host's settings store for this plugin; the changes are
// kept when it closes.
class TSettingsHandle {
 public:
  TSettingsHandle() {
    FarSettingsCreate create = {sizeof(FarSettingsCreate), kPluginGuid, nullptr};
    if (Info.SettingsControl &&
        Info.SettingsControl(nullptr, SCTL_CREATE, PSL_ROAMING, &create) != 0)
      handle_ = create.Handle;
  }
  ~TSettingsHandle() {
    if (handle_) Info.SettingsControl(handle_, SCTL_FREE, 0, nullptr);
  }
  TSettingsHandle(const TSettingsHandle&) = delete;
  TSettingsHandle& operator=(const TSettingsHandle&) = delete;

  bool Get(FarSettingsItem& item) const { return handle_ && Info.SettingsControl(handle_, SCTL_GET, 0, &item) != 0; }
  void Set(FarSettingsItem& item) const {
    if (handle_) Info.SettingsControl(handle_, SCTL_SET, 0, &item);
  }

 private:
  void* handle_ = nullptr;
};

FarSettingsItem Item(const std::wstring& name, int32_t type) {
  FarSettingsItem item;
  std::memset(&item, 0, sizeof item);
  item.StructSize = sizeof item;
  item.Root = 0;
  item.Name = name.c_str();
  item.Type = type;
  return item;
}

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); }

// One session of the host's settings store; numbers are 64-bit there and
// 32-bit here. Reading writes nothing: a missing value reads as its default.
class TFarSession final : public TSettingsSession {
 public:
  int32_t ReadInt(const char* name, int32_t defaultValue) override {
    const std::wstring wide = Wide(name);
    FarSettingsItem item = Item(wide, FST_QWORD);
    return store_.Get(item) ? static_cast<int32_t>(item.Value.Number) : defaultValue;
  }
  std::string ReadStr(const char* name, const char* defaultValue) override {
    const std::wstring wide = Wide(name);
    FarSettingsItem item = Item(wide, FST_STRING);
    return store_.Get(item) && item.Value.String ? Utf8Encode(item.Value.String) : std::string(defaultValue);
  }
  void WriteInt(const char* name, int32_t value) override {
    const std::wstring wide = Wide(name);
    FarSettingsItem item = Item(wide, FST_QWORD);
    item.Value.Number = static_cast<uint64_t>(static_cast<int64_t>(value));
    store_.Set(item);
  }
  void WriteStr(const char* name, const std::string& value) override {
    const std::wstring wide = Wide(name), text = WideFromUtf8(value);
    FarSettingsItem item = Item(wide, FST_STRING);
    item.Value.String = text.c_str();
    store_.Set(item);
  }

  // True when the store has none of the seven settings: a first start.
  bool Empty() {
    for (const char* name : {"Template", "Blank", "Cols", "ColsTh", "Width", "Height", "BgColor"}) {
      const std::wstring wide = Wide(name);
      FarSettingsItem item = Item(wide, std::strcmp(name, "BgColor") == 0 ? FST_STRING : FST_QWORD);
      if (store_.Get(item)) return false;
    }
    return true;
  }

 private:
  TSettingsHandle store_;
};

class TFarSettings final : public TSettingsStore {
 public:
  std::unique_ptr<TSettingsSession> Open() override { return std::make_unique<TFarSession>(); }
};

TFarSettings Settings;

// The keys where the 1.x build may have left this user's settings, in the
// order they are tried: the current host's 1.x wrapper gives its plugins
// Software\Far Manager[\Users\<name>]\Plugins, and a 1.x host itself
// Software\Far[\Users\<name>]\Plugins, where <name> is the user profile
// that the host was started with (/u), which it keeps in FARUSER.
std::vector<std::wstring> OldSettingsKeys() {
  wchar_t user[256];
  const DWORD n = Win32.GetEnvironmentVariableW(L"FARUSER", user, 256);
  const std::wstring profile = n > 0 && n < 256 ? L"\\Users\\" + std::wstring(user, n) : std::wstring();
  std::vector<std::wstring> keys;
  for (const wchar_t* root : {L"Software\\Far Manager", L"Software\\Far"}) {
    if (!profile.empty()) keys.push_back(root + profile + L"\\Plugins\\Galvora");
    keys.push_back(std::wstring(root) + L"\\Plugins\\Galvora");
  }
  return keys;
}

// The settings that the 1.x build left for this user, copied into the
// store of a first start: from the first of the old keys that exists.
void MigrateSettings(TFarSession& session) {
  HKEY key = nullptr;
  for (const std::wstring& path : OldSettingsKeys())
    if (Win32.RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) break;
  if (!key) return;
  for (const char* name : {"Template", "Blank", "Cols", "ColsTh", "Width", "Height"}) {
    int32_t value = 0;
    DWORD size = sizeof value, type = 0;
    if (Win32.RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        size == sizeof value)
      session.WriteInt(name, value);
  }
  char text[4097];
  DWORD size = sizeof text - 1, type = 0;
  if (Win32.RegQueryValueExA(key, "BgColor", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    text[size < sizeof text ? size : sizeof text - 1] = '\0';
    session.WriteStr("BgColor", Utf8Encode(WidePath(text, cpAnsi)));
  }
  Win32.RegCloseKey(key);
}

class TUnicodeHost final : public THost {
 public:
  std::wstring Msg(int id) override { return unicode::Msg(id); }

  int Dialog(const TDialogDescription& description, int width, int height, const char* helpTopic) override {
    const size_t count = description.size();
    if (count == 0 || !Info.DialogInit) return -1;
    std::vector<FarDialogItem> items(count);
    std::vector<std::wstring> texts(count);
    for (size_t i = 0; i < count; ++i) {
      const TDialogItem& d = description[i];
      FarDialogItem& item = items[i];
      std::memset(&item, 0, sizeof item);
      item.Type = HostItemType(d.Kind);
      item.X1 = d.X1;
      item.Y1 = d.Y1;
      item.X2 = d.X2;
      item.Flags = HostItemFlags(d.Kind);
      if (d.Focus) item.Flags |= DIF_FOCUS;
      if (d.Default) item.Flags |= DIF_DEFAULTBUTTON;
      if (d.Check) item.Selected = *d.Check != 0 ? 1 : 0;
      if (d.Text >= 0) texts[i] = Msg(d.Text);
      if (d.Edit) texts[i] = WideFromUtf8(*d.Edit);
      item.Data = texts[i].c_str();
    }
    // The frame runs from row 1 to one below the last item.
    items[0].Y1 = 1;
    items[0].Y2 = items[count - 1].Y1 + 1;
    const std::wstring help = helpTopic ? Wide(helpTopic) : std::wstring();
    void* dialog = Info.DialogInit(&kPluginGuid, &kDialogGuid, -1, -1, width, height, help.empty() ? nullptr : help.c_str(),
                                   items.data(), count, 0, 0, nullptr, nullptr);
    if (dialog == reinterpret_cast<void*>(static_cast<intptr_t>(-1))) return -1;
    const intptr_t result = Info.DialogRun(dialog);
    // The results are the dialog's, read before it is freed.
    if (result >= 0) {
      for (size_t i = 0; i < count; ++i) {
        const TDialogItem& d = description[i];
        if (d.Check) *d.Check = Info.SendDlgMessage(dialog, DM_GETCHECK, i, nullptr) != 0 ? 1 : 0;
        if (d.Edit) {
          const auto text = reinterpret_cast<const wchar_t*>(Info.SendDlgMessage(dialog, DM_GETCONSTTEXTPTR, i, nullptr));
          *d.Edit = text ? Utf8Encode(text) : std::string();
        }
      }
    }
    Info.DialogFree(dialog);
    return result >= 0 ? static_cast<int>(result) : -1;
  }

  void Message(const std::vector<std::wstring>& lines) override { Show(FMSG_WARNING | FMSG_MB_OK, lines); }

  void Progress(const std::vector<std::wstring>& lines, int done, int total) override {
    Show(FMSG_LEFTALIGN, lines);
    ProgressValue value = {sizeof(ProgressValue), static_cast<uint64_t>(done), static_cast<uint64_t>(total)};
    if (Info.AdvControl) Info.AdvControl(&kPluginGuid, ACTL_SETPROGRESSVALUE, 0, &value);
  }

  void EndProgress() override {
    if (!Info.AdvControl) return;
    // The host never takes a plugin's taskbar progress away on its own.
    Info.AdvControl(&kPluginGuid, ACTL_SETPROGRESSSTATE, TBPS_NOPROGRESS, nullptr);
    Info.AdvControl(&kPluginGuid, ACTL_REDRAWALL, 0, nullptr);
  }

  TSelectionResult Selection(TSelection& items, bool filesOnly) override {
    PanelInfo panel;
    std::memset(&panel, 0, sizeof panel);
    panel.StructSize = sizeof panel;
    const bool known = Info.PanelControl && Info.PanelControl(kActivePanel, FCTL_GETPANELINFO, 0, &panel) != 0;
    // A page needs real files; names may be copied from any panel.
    const bool real = panel.PanelType == PTYPE_FILEPANEL &&
                      (!(panel.Flags & PFLAGS_PLUGIN) || (panel.Flags & PFLAGS_REALNAMES));
    if (!known || (filesOnly && !real)) {
      Message({Msg(MNoFilePanel)});
      return srNoFiles;
    }
    // The folder, then each item, each buffer sized by a first call.
    TLargeBuffer buffer;
    const intptr_t folderSize = Info.PanelControl(kActivePanel, FCTL_GETPANELDIRECTORY, 0, nullptr);
    if (folderSize < static_cast<intptr_t>(sizeof(FarPanelDirectory)) || !buffer.Allocate(static_cast<size_t>(folderSize)))
      return folderSize < static_cast<intptr_t>(sizeof(FarPanelDirectory)) ? srNoFiles : srNoMemory;
    auto* directory = reinterpret_cast<FarPanelDirectory*>(buffer.Data());
    directory->StructSize = sizeof(FarPanelDirectory);
    Info.PanelControl(kActivePanel, FCTL_GETPANELDIRECTORY, folderSize, directory);
    const std::wstring folder = AddBackslash(std::wstring(directory->Name ? directory->Name : L""));
    for (size_t i = 0; i < panel.SelectedItemsNumber; ++i) {
      const intptr_t size = Info.PanelControl(kActivePanel, FCTL_GETSELECTEDPANELITEM, static_cast<intptr_t>(i), nullptr);
      if (size < static_cast<intptr_t>(sizeof(PluginPanelItem))) continue;
      if (!buffer.Allocate(static_cast<size_t>(size))) return srNoMemory;
      FarGetPluginPanelItem get = {sizeof(FarGetPluginPanelItem), static_cast<size_t>(size),
                                   reinterpret_cast<PluginPanelItem*>(buffer.Data())};
      if (Info.PanelControl(kActivePanel, FCTL_GETSELECTEDPANELITEM, static_cast<intptr_t>(i), &get) > size ||
          !get.Item->FileName)
        continue;
      const std::wstring name = get.Item->FileName;
      // A name with a folder of its own (search results) stands as it is.
      const bool whole = name.find(L':') != std::wstring::npos || name.compare(0, 2, L"\\\\") == 0;
      const TSelection::TItemInfo info = {static_cast<uint32_t>(get.Item->FileAttributes),
                                          {get.Item->CreationTime.Low, get.Item->CreationTime.High},
                                          {get.Item->LastWriteTime.Low, get.Item->LastWriteTime.High},
                                          get.Item->FileSize};
      if (!items.Add(whole ? name : folder + name, info))
        return srNoMemory;
    }
    return srFiles;
  }

  std::wstring PluginFolder() override { return FolderPart(ModulePath); }
  TSettingsStore& Settings() override { return unicode::Settings; }
  const TPageEncoder& PageEncoder() override { return page_; }
  const TPageEncoder& TemplateEncoder() override { return template_; }

 private:
  void Show(uint64_t flags, const std::vector<std::wstring>& lines) {
    if (!Info.Message) return;
    const std::wstring title = Msg(MTitle);
    std::vector<const wchar_t*> items = {title.c_str()};
    for (const std::wstring& line : lines) items.push_back(line.c_str());
    Info.Message(&kPluginGuid, &kMessageGuid, flags, nullptr, items.data(), items.size(), 0);
  }

  TUtf8Encoder page_;
  TAsciiEncoder template_;
};

TUnicodeHost Host;

// The command menu: the chosen line, or -1.
int ShowMenu(int highlight) {
  std::wstring texts[kMenuLines];
  FarMenuItem items[kMenuLines];
  std::memset(items, 0, sizeof items);
  for (int i = 0; i < kMenuLines; ++i) {
    texts[i] = Msg(MMenuFullSize + i);
    items[i].Text = texts[i].c_str();
    if (i == highlight) items[i].Flags = MIF_SELECTED;
  }
  const std::wstring title = Msg(MTitle), help = Wide(kMenuHelpTopic);
  return static_cast<int>(Info.Menu(&kPluginGuid, &kCommandMenuGuid, -1, -1, 0, FMENU_WRAPMODE | FMENU_AUTOHIGHLIGHT,
                                    title.c_str(), nullptr, help.c_str(), nullptr, nullptr, items, kMenuLines));
}

void Run(int command) {
  switch (command) {
    case cmFullSize:
    case cmThumbnails:
      PluginConfig.Thumbnails = command == cmThumbnails ? -1 : 0;
      MakeGalleryPage();
      break;
    case cmClipboard: CopySelectedNames(); break;
    case cmCleanup: RemoveGeneratedPages(); break;
    case cmConfigure: ConfigureSettings(); break;
    default: break;
  }
}

// A macro's argument as a command: a name, or the menu's numbers 1 to 5.
int MacroCommand(const OpenMacroInfo* macro) {
  if (!macro || macro->Count < 1 || !macro->Values) return -1;
  const FarMacroValue& v = macro->Values[0];
  if (v.Type == 1 && v.Integer >= 1 && v.Integer <= kMenuLines) return static_cast<int>(v.Integer - 1);
  if (v.Type == 3 && v.Double >= 1 && v.Double <= kMenuLines && v.Double == static_cast<int>(v.Double))
    return static_cast<int>(v.Double) - 1;
  if (v.Type != 2 || !v.String) return -1;
  static const wchar_t* const kNames[kMenuLines] = {L"full", L"thumbnails", L"copy", L"clean", L"config"};
  std::wstring name = v.String;
  for (wchar_t& c : name) c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
  for (int i = 0; i < kMenuLines; ++i)
    if (name == kNames[i]) return i;
  return -1;
}

}  // namespace

void FillGlobalInfo(GlobalInfo* info) {
  info->MinFarVersion = {3, 0, 0, 2831, 0};
  info->Version = {GALVORA_VERSION_MAJOR, GALVORA_VERSION_MINOR, 0, GALVORA_VERSION_PATCH, 0};
  info->Guid = kPluginGuid;
  info->Title = L"Galvora";
  info->Description = L"HTML gallery pages of the selected images";
  info->Author = L"The Galvora developers";
}

void Start(const PluginStartupInfo* info) {
  std::memset(&Info, 0, sizeof Info);
  // A record too short for the services the plugin calls leaves it inert.
  if (!info || info->StructSize < kStartupNeeded) return;
  std::memcpy(&Info, info, info->StructSize < sizeof Info ? info->StructSize : sizeof Info);
  Info.FSF = nullptr;
  ModulePath = info->ModuleName ? info->ModuleName : L"";
  Started = true;
  TUseHost use(Host);
  // One session: the store is opened once for the whole load.
  TFarSession session;
  if (session.Empty()) MigrateSettings(session);
  LoadSettings(session);
}

void FillPluginInfo(PluginInfo* info) {
  if (!Started) return;
  // The host reads the lists after this returns: they live as long as the
  // library. The title is the host's text of this moment.
  static const wchar_t* menuStrings[1];
  menuStrings[0] = Info.GetMsg ? Info.GetMsg(&kPluginGuid, MTitle) : L"Galvora";
  info->Flags = 0;
  info->PluginMenu = {&kMenuEntryGuid, menuStrings, 1};
  info->PluginConfig = {&kConfigEntryGuid, menuStrings, 1};
}

intptr_t Open(const OpenInfo* info) {
  if (!Started || !info) return 0;
  TUseHost use(Host);
  if (info->OpenFrom == OPEN_FROMMACRO) {
    const int command = MacroCommand(reinterpret_cast<const OpenMacroInfo*>(info->Data));
    if (command < 0) return 0;
    Run(command);
    return 1;
  }
  int choice = cmFullSize;
  while ((choice = ShowMenu(choice)) == cmConfigure) ConfigureSettings();
  if (choice >= 0) Run(choice);
  return 0;
}

intptr_t Configure() {
  if (!Started) return 0;
  TUseHost use(Host);
  return ConfigureSettings() ? 1 : 0;
}

void Exit() { Started = false; }

}  // namespace unicode
