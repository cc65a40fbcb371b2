// The host's 1.x plugin interface: the records and constants that this plugin
// reads or fills, laid out at the host's offsets. Fields the plugin never
// touches are kept as reserved bytes so that every record has the host's size.
//
// The host publishes one list of fields, compiled for 32-bit Windows with
// two-byte packing and for 64-bit Windows with natural alignment (pointers
// and intptr_t 8 bytes). Both layouts follow from the same declarations
// below; the checks at the end hold each target to the host's offsets.
//
// No <windows.h> here: the records say everything about their layout
// themselves.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/DialogItemTypes.h"

#if defined(_WIN32) && !defined(_WIN64)
#define FARAPI __stdcall
#else
#define FARAPI
#endif

#if !defined(_WIN64) && !defined(__LP64__)
#define FAR_PACKED_LAYOUT 1
#pragma pack(push, 2)
#endif

struct TFarFileTime {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};

// The host's copy of a file's find data: the Windows record without its tail
// padding on 32-bit (the host packs its records to two bytes there).
struct TFarFindData {
  uint32_t dwFileAttributes;
  TFarFileTime ftCreationTime;
  TFarFileTime ftLastAccessTime;
  TFarFileTime ftLastWriteTime;
  uint32_t nFileSizeHigh;
  uint32_t nFileSizeLow;
  uint32_t dwReserved0;
  uint32_t dwReserved1;
  char cFileName[260];
  char cAlternateFileName[14];
};

#if defined(FAR_PACKED_LAYOUT)
constexpr size_t kPluginPanelItemSize = 366;
constexpr size_t kPanelInfoSize = 496;
constexpr size_t kPanelSelectedItemsAt = 32;
constexpr size_t kPanelCurDirAt = 220;
constexpr size_t kStartupInfoSize = 336;  // up to and including EditorControl
#else
constexpr size_t kPluginPanelItemSize = 400;
constexpr size_t kPanelInfoSize = 512;
constexpr size_t kPanelSelectedItemsAt = 40;
constexpr size_t kPanelCurDirAt = 232;
constexpr size_t kStartupInfoSize = 408;
#endif

struct PluginPanelItem {
  TFarFindData FindData;
  uint8_t Reserved[kPluginPanelItemSize - sizeof(TFarFindData)];
};

struct PanelInfo {
  int32_t PanelType;
  int32_t Plugin;  // non-zero: a plugin's panel
  uint8_t Reserved0[kPanelSelectedItemsAt - 8];
  PluginPanelItem* SelectedItems;
  int32_t SelectedItemsNumber;
  uint8_t Reserved1[kPanelCurDirAt - kPanelSelectedItemsAt - sizeof(void*) - 4];
  char CurDir[260];
  int32_t ShortNames, SortMode;
  uint32_t Flags;
  uint32_t Reserved2;
};

struct FarMenuItem {
  char Text[128];
  int32_t Selected;
  int32_t Checked;
  int32_t Separator;
};

struct FarDialogItem {
  int32_t Type;
  int32_t X1;
  int32_t Y1;
  int32_t X2;
  int32_t Y2;
  int32_t Focus;
  intptr_t Selected;  // a check box's state, or a text pointer for edit items
  uint32_t Flags;
  int32_t DefaultButton;
  char Data[512];
};

typedef const char*(FARAPI* TFarApiGetMsg)(intptr_t pluginNumber, int32_t msgId);
typedef int32_t(FARAPI* TFarApiMenu)(intptr_t pluginNumber, int32_t x, int32_t y, int32_t maxHeight,
                                     uint32_t flags, const char* title, const char* bottom,
                                     const char* helpTopic, const int32_t* breakKeys,
                                     int32_t* breakCode, const FarMenuItem* items,
                                     int32_t itemsNumber);
typedef int32_t(FARAPI* TFarApiDialog)(intptr_t pluginNumber, int32_t x1, int32_t y1, int32_t x2,
                                       int32_t y2, const char* helpTopic, FarDialogItem* items,
                                       int32_t itemsNumber);
typedef int32_t(FARAPI* TFarApiControl)(void* hPlugin, int32_t command, void* param);
typedef int32_t(FARAPI* TFarApiMessage)(intptr_t pluginNumber, uint32_t flags, const char* helpTopic,
                                        const char* const* items, int32_t itemsNumber, int32_t buttonsNumber);
typedef void*(FARAPI* TFarApiSaveScreen)(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
typedef void(FARAPI* TFarApiRestoreScreen)(void* screen);

struct PluginStartupInfo {
  int32_t StructSize;
  char ModuleName[260];
  intptr_t ModuleNumber;
  const char* RootKey;
  TFarApiMenu Menu;
  TFarApiDialog Dialog;
  TFarApiMessage Message;
  TFarApiGetMsg GetMsg;
  TFarApiControl Control;
  TFarApiSaveScreen SaveScreen;
  TFarApiRestoreScreen RestoreScreen;
  // The further services up to EditorControl, never called.
  uint8_t Reserved[kStartupInfoSize - 4 - 260 - 9 * sizeof(void*)];
};

// Filled by the plugin up to and including CommandPrefix.
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

#if defined(FAR_PACKED_LAYOUT)
#pragma pack(pop)
#endif

enum : int32_t { PTYPE_FILEPANEL = 0 };
enum : uint32_t { PFLAGS_REALNAMES = 0x20 };  // a plugin's panel whose names are real files
enum : int32_t { FCTL_GETPANELINFO = 1 };
enum : uint32_t { FMENU_AUTOHIGHLIGHT = 4 };
// Message flags of the 1.x interface (LEFTALIGN is 8 in the later one).
enum : uint32_t { FMSG_WARNING = 1, FMSG_LEFTALIGN = 0x10, FMSG_MB_OK = 0x10000 };

// Both layouts: the records without pointers.
static_assert(offsetof(TFarFindData, ftCreationTime) == 4, "");
static_assert(offsetof(TFarFindData, cFileName) == 44, "");
static_assert(sizeof(FarMenuItem) == 140, "");
static_assert(offsetof(FarMenuItem, Selected) == 128, "");
static_assert(offsetof(FarMenuItem, Checked) == 132, "");
static_assert(offsetof(FarMenuItem, Separator) == 136, "");
static_assert(offsetof(FarDialogItem, Type) == 0, "");
static_assert(offsetof(FarDialogItem, X1) == 4, "");
static_assert(offsetof(FarDialogItem, Y1) == 8, "");
static_assert(offsetof(FarDialogItem, X2) == 12, "");
static_assert(offsetof(FarDialogItem, Y2) == 16, "");
static_assert(offsetof(FarDialogItem, Focus) == 20, "");
static_assert(offsetof(FarDialogItem, Selected) == 24, "");
static_assert(offsetof(PluginPanelItem, FindData) == 0, "");
static_assert(offsetof(PanelInfo, PanelType) == 0, "");
static_assert(offsetof(PanelInfo, Plugin) == 4, "");
static_assert(offsetof(PluginStartupInfo, StructSize) == 0, "");
static_assert(offsetof(PluginStartupInfo, ModuleName) == 4, "");
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 264, "");
static_assert(offsetof(PluginInfo, StructSize) == 0, "");
static_assert(offsetof(PluginInfo, Flags) == 4, "");

#if defined(FAR_PACKED_LAYOUT)
// 32-bit Windows, two-byte packing.
static_assert(sizeof(TFarFindData) == 318, "find data as the host packs it");
static_assert(sizeof(FarDialogItem) == 548, "");
static_assert(offsetof(FarDialogItem, Flags) == 28, "");
static_assert(offsetof(FarDialogItem, DefaultButton) == 32, "");
static_assert(offsetof(FarDialogItem, Data) == 36, "");
static_assert(sizeof(PluginPanelItem) == 366, "");
static_assert(sizeof(PanelInfo) == 496, "");
static_assert(offsetof(PanelInfo, SelectedItems) == 32, "");
static_assert(offsetof(PanelInfo, SelectedItemsNumber) == 36, "");
static_assert(offsetof(PanelInfo, CurDir) == 220, "");
static_assert(offsetof(PanelInfo, Flags) == 488, "");
static_assert(sizeof(PluginStartupInfo) == 336, "");
static_assert(offsetof(PluginStartupInfo, RootKey) == 268, "");
static_assert(offsetof(PluginStartupInfo, Menu) == 272, "");
static_assert(offsetof(PluginStartupInfo, Dialog) == 276, "");
static_assert(offsetof(PluginStartupInfo, Message) == 280, "");
static_assert(offsetof(PluginStartupInfo, GetMsg) == 284, "");
static_assert(offsetof(PluginStartupInfo, Control) == 288, "");
static_assert(offsetof(PluginStartupInfo, SaveScreen) == 292, "");
static_assert(offsetof(PluginStartupInfo, RestoreScreen) == 296, "");
static_assert(sizeof(PluginInfo) == 40, "");
static_assert(offsetof(PluginInfo, DiskMenuStrings) == 8, "");
static_assert(offsetof(PluginInfo, DiskMenuNumbers) == 12, "");
static_assert(offsetof(PluginInfo, DiskMenuStringsNumber) == 16, "");
static_assert(offsetof(PluginInfo, PluginMenuStrings) == 20, "");
static_assert(offsetof(PluginInfo, PluginMenuStringsNumber) == 24, "");
static_assert(offsetof(PluginInfo, PluginConfigStrings) == 28, "");
static_assert(offsetof(PluginInfo, PluginConfigStringsNumber) == 32, "");
static_assert(offsetof(PluginInfo, CommandPrefix) == 36, "");
#else
// 64-bit Windows, natural alignment.
static_assert(sizeof(FarDialogItem) == 552, "");
static_assert(offsetof(FarDialogItem, Flags) == 32, "");
static_assert(offsetof(FarDialogItem, DefaultButton) == 36, "");
static_assert(offsetof(FarDialogItem, Data) == 40, "");
static_assert(sizeof(PluginPanelItem) == 400, "");
static_assert(sizeof(PanelInfo) == 512, "");
static_assert(offsetof(PanelInfo, SelectedItems) == 40, "");
static_assert(offsetof(PanelInfo, SelectedItemsNumber) == 48, "");
static_assert(offsetof(PanelInfo, CurDir) == 232, "");
static_assert(offsetof(PanelInfo, Flags) == 500, "");
static_assert(sizeof(PluginStartupInfo) == 408, "");
static_assert(offsetof(PluginStartupInfo, RootKey) == 272, "");
static_assert(offsetof(PluginStartupInfo, Menu) == 280, "");
static_assert(offsetof(PluginStartupInfo, Dialog) == 288, "");
static_assert(offsetof(PluginStartupInfo, Message) == 296, "");
static_assert(offsetof(PluginStartupInfo, GetMsg) == 304, "");
static_assert(offsetof(PluginStartupInfo, Control) == 312, "");
static_assert(offsetof(PluginStartupInfo, SaveScreen) == 320, "");
static_assert(offsetof(PluginStartupInfo, RestoreScreen) == 328, "");
static_assert(sizeof(PluginInfo) == 72, "");
static_assert(offsetof(PluginInfo, DiskMenuStrings) == 8, "");
static_assert(offsetof(PluginInfo, DiskMenuNumbers) == 16, "");
static_assert(offsetof(PluginInfo, DiskMenuStringsNumber) == 24, "");
static_assert(offsetof(PluginInfo, PluginMenuStrings) == 32, "");
static_assert(offsetof(PluginInfo, PluginMenuStringsNumber) == 40, "");
static_assert(offsetof(PluginInfo, PluginConfigStrings) == 48, "");
static_assert(offsetof(PluginInfo, PluginConfigStringsNumber) == 56, "");
static_assert(offsetof(PluginInfo, CommandPrefix) == 64, "");
#endif
