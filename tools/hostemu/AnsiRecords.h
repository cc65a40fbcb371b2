// The host's 1.x interface as the bench declares it: the records the host
// hands to a plugin and takes from it, written from the host's published
// layout (two-byte packing on 32-bit, natural alignment on 64-bit), apart
// from the plugin's own declarations, so that a layout mistake on either
// side shows.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define BENCH1API __stdcall
#pragma pack(push, 2)
#else
#define BENCH1API
#endif

namespace bench1 {

struct TFarFileTime {
  uint32_t dwLowDateTime, dwHighDateTime;
};

struct TFarFindData {
  uint32_t dwFileAttributes;
  TFarFileTime ftCreationTime, ftLastAccessTime, ftLastWriteTime;
  uint32_t nFileSizeHigh, nFileSizeLow, dwReserved0, dwReserved1;
  char cFileName[260];
  char cAlternateFileName[14];
};

struct PluginPanelItem {
  TFarFindData FindData;
  uint32_t PackSizeHigh, PackSize, Flags, NumberOfLinks;
  char* Description;
  char* Owner;
  char** CustomColumnData;
  int32_t CustomColumnNumber;
  intptr_t UserData;
  uint32_t CRC32;
  intptr_t Reserved[2];
};

struct PanelInfo {
  int32_t PanelType;
  int32_t Plugin;
  int32_t PanelRect[4];
  PluginPanelItem* PanelItems;
  int32_t ItemsNumber;
  PluginPanelItem* SelectedItems;
  int32_t SelectedItemsNumber;
  int32_t CurrentItem, TopPanelItem, Visible, Focus, ViewMode;
  char ColumnTypes[80];
  char ColumnWidths[80];
  char CurDir[260];
  int32_t ShortNames, SortMode;
  uint32_t Flags;
  uint32_t Reserved;
};

struct FarMenuItem {
  char Text[128];
  int32_t Selected, Checked, Separator;
};

struct FarDialogItem {
  int32_t Type, X1, Y1, X2, Y2, Focus;
  intptr_t Selected;
  uint32_t Flags;
  int32_t DefaultButton;
  char Data[512];
};

typedef const char*(BENCH1API* TGetMsg)(intptr_t pluginNumber, int32_t msgId);
typedef int32_t(BENCH1API* TMenu)(intptr_t pluginNumber, int32_t x, int32_t y, int32_t maxHeight, uint32_t flags,
                                  const char* title, const char* bottom, const char* helpTopic,
                                  const int32_t* breakKeys, int32_t* breakCode, const FarMenuItem* items,
                                  int32_t itemsNumber);
typedef int32_t(BENCH1API* TDialog)(intptr_t pluginNumber, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                    const char* helpTopic, FarDialogItem* items, int32_t itemsNumber);
typedef int32_t(BENCH1API* TMessage)(intptr_t pluginNumber, uint32_t flags, const char* helpTopic,
                                     const char* const* items, int32_t itemsNumber, int32_t buttonsNumber);
typedef int32_t(BENCH1API* TControl)(void* plugin, int32_t command, void* param);
typedef void*(BENCH1API* TSaveScreen)(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
typedef void(BENCH1API* TRestoreScreen)(void* screen);

// The whole table as the current host's wrapper hands it over, up to
// ViewerControl.
struct PluginStartupInfo {
  int32_t StructSize;
  char ModuleName[260];
  intptr_t ModuleNumber;
  const char* RootKey;
  TMenu Menu;
  TDialog Dialog;
  TMessage Message;
  TGetMsg GetMsg;
  TControl Control;
  TSaveScreen SaveScreen;
  TRestoreScreen RestoreScreen;
  void* Further[9];  // GetDirList ... EditorControl
  void* FSF;
  void* ShowHelp;
  void* AdvControl;
  void* InputBox;
  void* DialogEx;
  void* SendDlgMessage;
  void* DefDlgProc;
  intptr_t Reserved;
  void* ViewerControl;
};

struct PluginInfo {
  int32_t StructSize;
  uint32_t Flags;
  const char* const* DiskMenuStrings;
  int32_t* DiskMenuNumbers;
  int32_t DiskMenuStringsNumber;
  const char* const* PluginMenuStrings;
  int32_t PluginMenuStringsNumber;
  const char* const* PluginConfigStrings;
  int32_t PluginConfigStringsNumber;
  const char* CommandPrefix;
};

enum : int32_t { PTYPE_FILEPANEL = 0, FCTL_GETPANELINFO = 1, DI_TEXT = 0 };
enum : uint32_t { PFLAGS_REALNAMES = 0x20 };

#define BENCH1_AT(type, member, at32, at64) \
  static_assert(offsetof(type, member) == (sizeof(void*) == 8 ? (at64) : (at32)), #type "." #member)
#define BENCH1_SIZE(type, s32, s64) static_assert(sizeof(type) == (sizeof(void*) == 8 ? (s64) : (s32)), #type)
BENCH1_SIZE(TFarFindData, 318, 320);
BENCH1_AT(TFarFindData, cFileName, 44, 44);
BENCH1_AT(TFarFindData, cAlternateFileName, 304, 304);
BENCH1_SIZE(PluginPanelItem, 366, 400);
BENCH1_AT(PluginPanelItem, Flags, 326, 328);
BENCH1_AT(PluginPanelItem, UserData, 350, 368);
BENCH1_SIZE(PanelInfo, 496, 512);
BENCH1_AT(PanelInfo, SelectedItems, 32, 40);
BENCH1_AT(PanelInfo, SelectedItemsNumber, 36, 48);
BENCH1_AT(PanelInfo, CurDir, 220, 232);
BENCH1_AT(PanelInfo, Plugin, 4, 4);
BENCH1_AT(PanelInfo, Flags, 488, 500);
BENCH1_SIZE(FarMenuItem, 140, 140);
BENCH1_SIZE(FarDialogItem, 548, 552);
BENCH1_AT(FarDialogItem, Selected, 24, 24);
BENCH1_AT(FarDialogItem, Flags, 28, 32);
BENCH1_AT(FarDialogItem, DefaultButton, 32, 36);
BENCH1_AT(FarDialogItem, Data, 36, 40);
BENCH1_SIZE(PluginStartupInfo, 372, 480);
BENCH1_AT(PluginStartupInfo, ModuleNumber, 264, 264);
BENCH1_AT(PluginStartupInfo, RootKey, 268, 272);
BENCH1_AT(PluginStartupInfo, Message, 280, 296);
BENCH1_AT(PluginStartupInfo, GetMsg, 284, 304);
BENCH1_AT(PluginStartupInfo, Control, 288, 312);
BENCH1_AT(PluginStartupInfo, FSF, 336, 408);
BENCH1_AT(PluginStartupInfo, AdvControl, 344, 424);
BENCH1_AT(PluginStartupInfo, DialogEx, 352, 440);
BENCH1_AT(PluginStartupInfo, SendDlgMessage, 356, 448);
BENCH1_AT(PluginStartupInfo, ViewerControl, 368, 472);
BENCH1_SIZE(PluginInfo, 40, 72);
#undef BENCH1_AT
#undef BENCH1_SIZE

}  // namespace bench1

#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(pop)
#endif
