// The host's Unicode plugin interface: the records and constants that this
// plugin reads or fills, in natural alignment on both targets (pointers,
// size_t and intptr_t 4 or 8 bytes; the flag words 64 bits on both). The
// checks at the end hold each target to the host's offsets.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define FAR3API __stdcall
#else
#define FAR3API
#endif

namespace far3 {

struct TGuid {
  uint32_t Data1;
  uint16_t Data2, Data3;
  uint8_t Data4[8];
};

struct TFileTime {
  uint32_t Low, High;
};

struct VersionInfo {
  uint32_t Major, Minor, Revision, Build;
  int32_t Stage;
};

struct GlobalInfo {
  size_t StructSize;
  VersionInfo MinFarVersion;
  VersionInfo Version;
  TGuid Guid;
  const wchar_t* Title;
  const wchar_t* Description;
  const wchar_t* Author;
  void* Instance;
};

struct PluginMenuItem {
  const TGuid* Guids;
  const wchar_t* const* Strings;
  size_t Count;
};

struct PluginInfo {
  size_t StructSize;
  uint64_t Flags;
  PluginMenuItem DiskMenu, PluginMenu, PluginConfig;
  const wchar_t* CommandPrefix;
  void* Instance;
};

struct FarMacroValue {
  int32_t Type;  // 1 integer, 2 string, 3 double, 4 boolean
  union {
    int64_t Integer;
    double Double;
    const wchar_t* String;
    struct {
      void* Data;
      size_t Size;
    } Binary;
  };
};

struct OpenMacroInfo {
  size_t StructSize;
  size_t Count;
  const FarMacroValue* Values;
};

struct OpenInfo {
  size_t StructSize;
  int32_t OpenFrom;
  const TGuid* Guid;
  intptr_t Data;
  void* Instance;
};

struct ConfigureInfo {
  size_t StructSize;
  const TGuid* Guid;
  void* Instance;
};

struct ExitInfo {
  size_t StructSize;
  void* Instance;
};

struct FarKey {
  uint16_t VirtualKeyCode;
  uint32_t ControlKeyState;
};

struct FarMenuItem {
  uint64_t Flags;
  const wchar_t* Text;
  FarKey AccelKey;
  intptr_t UserData;
  intptr_t Reserved[2];
};

struct FarDialogItem {
  int32_t Type;
  intptr_t X1, Y1, X2, Y2;
  intptr_t Selected;
  const wchar_t* History;
  const wchar_t* Mask;
  uint64_t Flags;
  const wchar_t* Data;
  size_t MaxLength;
  intptr_t UserData;
  intptr_t Reserved[2];
};

struct FarDialogItemData {
  size_t StructSize;
  size_t PtrLength;
  wchar_t* PtrData;
};

struct PanelInfo {
  size_t StructSize;
  void* PluginHandle;
  TGuid OwnerGuid;
  uint64_t Flags;
  size_t ItemsNumber;
  size_t SelectedItemsNumber;
  int32_t PanelRect[4];
  size_t CurrentItem;
  size_t TopPanelItem;
  intptr_t ViewMode;
  int32_t PanelType;
  int32_t SortMode;
};

struct FarPanelDirectory {
  size_t StructSize;
  const wchar_t* Name;
  const wchar_t* Param;
  TGuid PluginId;
  const wchar_t* File;
};

struct PluginPanelItem {
  TFileTime CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
  uint64_t FileSize;
  uint64_t AllocationSize;
  const wchar_t* FileName;
  const wchar_t* AlternateFileName;
  const wchar_t* Description;
  const wchar_t* Owner;
  const wchar_t* const* CustomColumnData;
  size_t CustomColumnNumber;
  uint64_t Flags;
  struct {
    void* Data;
    void* FreeData;
  } UserData;
  uintptr_t FileAttributes;
  uintptr_t NumberOfLinks;
  uintptr_t CRC32;
  intptr_t Reserved[2];
};

struct FarGetPluginPanelItem {
  size_t StructSize;
  size_t Size;
  PluginPanelItem* Item;
};

struct FarSettingsCreate {
  size_t StructSize;
  TGuid Guid;
  void* Handle;
};

struct FarSettingsItem {
  size_t StructSize;
  size_t Root;
  const wchar_t* Name;
  int32_t Type;
  union {
    uint64_t Number;
    const wchar_t* String;
    struct {
      size_t Size;
      const void* Data;
    } Data;
  } Value;
};

struct ProgressValue {
  size_t StructSize;
  uint64_t Completed;
  uint64_t Total;
};

typedef const wchar_t*(FAR3API* TGetMsg)(const TGuid* pluginId, intptr_t msgId);
typedef intptr_t(FAR3API* TMenu)(const TGuid* pluginId, const TGuid* id, intptr_t x, intptr_t y, intptr_t maxHeight,
                                 uint64_t flags, const wchar_t* title, const wchar_t* bottom, const wchar_t* helpTopic,
                                 const FarKey* breakKeys, intptr_t* breakCode, const FarMenuItem* items,
                                 size_t itemsNumber);
typedef intptr_t(FAR3API* TMessage)(const TGuid* pluginId, const TGuid* id, uint64_t flags, const wchar_t* helpTopic,
                                    const wchar_t* const* items, size_t itemsNumber, intptr_t buttonsNumber);
typedef intptr_t(FAR3API* TControl)(void* handle, int32_t command, intptr_t param1, void* param2);
typedef intptr_t(FAR3API* TAdvControl)(const TGuid* pluginId, int32_t command, intptr_t param1, void* param2);
typedef intptr_t(FAR3API* TDialogProc)(void* dialog, intptr_t msg, intptr_t param1, void* param2);
typedef void*(FAR3API* TDialogInit)(const TGuid* pluginId, const TGuid* id, intptr_t x1, intptr_t y1, intptr_t x2,
                                    intptr_t y2, const wchar_t* helpTopic, const FarDialogItem* items,
                                    size_t itemsNumber, intptr_t reserved, uint64_t flags, TDialogProc proc,
                                    void* param);
typedef intptr_t(FAR3API* TDialogRun)(void* dialog);
typedef void(FAR3API* TDialogFree)(void* dialog);

// The table handed to SetStartupInfoW; only the services used are typed.
struct PluginStartupInfo {
  size_t StructSize;
  const wchar_t* ModuleName;
  TMenu Menu;
  TMessage Message;
  TGetMsg GetMsg;
  TControl PanelControl;
  void* Unused1[10];  // SaveScreen ... EditorControl
  void* FSF;
  void* ShowHelp;
  TAdvControl AdvControl;
  void* Unused2[2];  // InputBox, ColorDialog
  TDialogInit DialogInit;
  TDialogRun DialogRun;
  TDialogFree DialogFree;
  TControl SendDlgMessage;
  void* Unused3[6];  // DefDlgProc ... MacroControl
  TControl SettingsControl;
};

enum : int32_t { OPEN_PLUGINSMENU = 1, OPEN_FROMMACRO = 11 };
enum : int32_t { PTYPE_FILEPANEL = 0 };
enum : uint64_t { PFLAGS_REALNAMES = 0x20, PFLAGS_PLUGIN = 0x800 };
enum : int32_t { FCTL_GETPANELINFO = 1, FCTL_GETSELECTEDPANELITEM = 22, FCTL_GETPANELDIRECTORY = 24 };
enum : int32_t { ACTL_REDRAWALL = 19, ACTL_SETPROGRESSSTATE = 21, ACTL_SETPROGRESSVALUE = 22 };
enum : intptr_t { TBPS_NOPROGRESS = 0 };
enum : uint64_t { FMSG_WARNING = 1, FMSG_LEFTALIGN = 8, FMSG_MB_OK = 0x10000 };
enum : uint64_t { FMENU_WRAPMODE = 2, FMENU_AUTOHIGHLIGHT = 4, MIF_SELECTED = 0x10000 };
enum : uint64_t { DIF_DEFAULTBUTTON = 0x100000000ull, DIF_FOCUS = 0x200000000ull };
enum : intptr_t { DM_GETCHECK = 25, DM_GETCONSTTEXTPTR = 63 };
enum : int32_t { SCTL_CREATE = 0, SCTL_FREE = 1, SCTL_SET = 2, SCTL_GET = 3 };
enum : int32_t { FST_QWORD = 2, FST_STRING = 3 };
enum : intptr_t { PSL_ROAMING = 0 };

// The services this plugin calls lie inside a record this long.
constexpr size_t kStartupNeeded = offsetof(PluginStartupInfo, SettingsControl) + sizeof(void*);

#define FAR3_CHECK(type, member, at32, at64) \
  static_assert(offsetof(type, member) == (sizeof(void*) == 8 ? (at64) : (at32)), #type "." #member)
#define FAR3_SIZE(type, size32, size64) \
  static_assert(sizeof(type) == (sizeof(void*) == 8 ? (size64) : (size32)), "sizeof " #type)

FAR3_SIZE(GlobalInfo, 76, 96);
FAR3_CHECK(GlobalInfo, MinFarVersion, 4, 8);
FAR3_CHECK(GlobalInfo, Version, 24, 28);
FAR3_CHECK(GlobalInfo, Guid, 44, 48);
FAR3_CHECK(GlobalInfo, Title, 60, 64);
FAR3_CHECK(GlobalInfo, Author, 68, 80);
FAR3_SIZE(PluginMenuItem, 12, 24);
FAR3_SIZE(PluginInfo, 64, 104);
FAR3_CHECK(PluginInfo, Flags, 8, 8);
FAR3_CHECK(PluginInfo, PluginMenu, 28, 40);
FAR3_CHECK(PluginInfo, PluginConfig, 40, 64);
FAR3_CHECK(PluginInfo, CommandPrefix, 52, 88);
FAR3_SIZE(OpenInfo, 20, 40);
FAR3_CHECK(OpenInfo, OpenFrom, 4, 8);
FAR3_CHECK(OpenInfo, Guid, 8, 16);
FAR3_CHECK(OpenInfo, Data, 12, 24);
FAR3_SIZE(OpenMacroInfo, 12, 24);
FAR3_SIZE(FarMacroValue, 16, 24);
FAR3_CHECK(FarMacroValue, Integer, 8, 8);
FAR3_SIZE(ConfigureInfo, 12, 24);
FAR3_SIZE(ExitInfo, 8, 16);
FAR3_SIZE(FarMenuItem, 32, 48);
FAR3_CHECK(FarMenuItem, Text, 8, 8);
FAR3_CHECK(FarMenuItem, AccelKey, 12, 16);
FAR3_SIZE(FarDialogItem, 64, 112);
FAR3_CHECK(FarDialogItem, X1, 4, 8);
FAR3_CHECK(FarDialogItem, Selected, 20, 40);
FAR3_CHECK(FarDialogItem, Flags, 32, 64);
FAR3_CHECK(FarDialogItem, Data, 40, 72);
FAR3_CHECK(FarDialogItem, MaxLength, 44, 80);
FAR3_SIZE(FarDialogItemData, 12, 24);
FAR3_SIZE(PanelInfo, 80, 104);
FAR3_CHECK(PanelInfo, Flags, 24, 32);
FAR3_CHECK(PanelInfo, SelectedItemsNumber, 36, 48);
FAR3_CHECK(PanelInfo, PanelType, 68, 96);
FAR3_SIZE(FarPanelDirectory, 32, 48);
FAR3_CHECK(FarPanelDirectory, Name, 4, 8);
FAR3_CHECK(FarPanelDirectory, PluginId, 12, 24);
FAR3_SIZE(PluginPanelItem, 112, 160);
FAR3_CHECK(PluginPanelItem, FileSize, 32, 32);
FAR3_CHECK(PluginPanelItem, FileName, 48, 48);
FAR3_CHECK(PluginPanelItem, AlternateFileName, 52, 56);
FAR3_CHECK(PluginPanelItem, Flags, 72, 96);
FAR3_CHECK(PluginPanelItem, FileAttributes, 88, 120);
FAR3_SIZE(FarGetPluginPanelItem, 12, 24);
FAR3_SIZE(FarSettingsCreate, 24, 32);
FAR3_CHECK(FarSettingsCreate, Handle, 20, 24);
FAR3_SIZE(FarSettingsItem, 24, 48);
FAR3_CHECK(FarSettingsItem, Type, 12, 24);
FAR3_CHECK(FarSettingsItem, Value, 16, 32);
FAR3_SIZE(ProgressValue, 24, 24);
FAR3_CHECK(PluginStartupInfo, Menu, 8, 16);
FAR3_CHECK(PluginStartupInfo, PanelControl, 20, 40);
FAR3_CHECK(PluginStartupInfo, FSF, 64, 128);
FAR3_CHECK(PluginStartupInfo, AdvControl, 72, 144);
FAR3_CHECK(PluginStartupInfo, DialogInit, 84, 168);
FAR3_CHECK(PluginStartupInfo, SendDlgMessage, 96, 192);
FAR3_CHECK(PluginStartupInfo, SettingsControl, 124, 248);

#undef FAR3_CHECK
#undef FAR3_SIZE

}  // namespace far3
