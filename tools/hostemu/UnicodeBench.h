// A stand-in for the host's current release, which loads a plugin through
// its Unicode interface when the DLL exports GetGlobalInfoW. Its records
// are declared here from the host's published layout, apart from the
// plugin's own, so that a layout mistake on either side shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace bench3 {

// The host's records, as it lays them out (natural alignment).
struct VersionInfo { DWORD Major, Minor, Revision, Build; int Stage; };
struct GlobalInfo {
  size_t StructSize;
  VersionInfo MinFarVersion, Version;
  GUID Guid;
  const wchar_t *Title, *Description, *Author;
  void* Instance;
};
struct PluginMenuItem { const GUID* Guids; const wchar_t* const* Strings; size_t Count; };
struct PluginInfo {
  size_t StructSize;
  unsigned long long Flags;
  PluginMenuItem DiskMenu, PluginMenu, PluginConfig;
  const wchar_t* CommandPrefix;
  void* Instance;
};
struct FarMacroValue {
  int Type;
  union { long long Integer; double Double; const wchar_t* String; struct { void* P; size_t S; } B; };
};
struct OpenMacroInfo { size_t StructSize; size_t Count; const FarMacroValue* Values; };
struct OpenInfo { size_t StructSize; int OpenFrom; const GUID* Guid; intptr_t Data; void* Instance; };
struct ConfigureInfo { size_t StructSize; const GUID* Guid; void* Instance; };
struct ExitInfo { size_t StructSize; void* Instance; };
struct FarKey { WORD VirtualKeyCode; DWORD ControlKeyState; };
struct FarMenuItem { unsigned long long Flags; const wchar_t* Text; FarKey AccelKey; intptr_t UserData; intptr_t Reserved[2]; };
struct FarDialogItem {
  int Type;
  intptr_t X1, Y1, X2, Y2, Selected;
  const wchar_t *History, *Mask;
  unsigned long long Flags;
  const wchar_t* Data;
  size_t MaxLength;
  intptr_t UserData, Reserved[2];
};
struct PanelInfo {
  size_t StructSize;
  HANDLE PluginHandle;
  GUID OwnerGuid;
  unsigned long long Flags;
  size_t ItemsNumber, SelectedItemsNumber;
  RECT PanelRect;
  size_t CurrentItem, TopPanelItem;
  intptr_t ViewMode;
  int PanelType, SortMode;
};
struct FarPanelDirectory { size_t StructSize; const wchar_t *Name, *Param; GUID PluginId; const wchar_t* File; };
struct PluginPanelItem {
  FILETIME CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
  unsigned long long FileSize, AllocationSize;
  const wchar_t *FileName, *AlternateFileName, *Description, *Owner;
  const wchar_t* const* CustomColumnData;
  size_t CustomColumnNumber;
  unsigned long long Flags;
  struct { void* Data; void* FreeData; } UserData;
  uintptr_t FileAttributes, NumberOfLinks, CRC32;
  intptr_t Reserved[2];
};
struct FarGetPluginPanelItem { size_t StructSize; size_t Size; PluginPanelItem* Item; };
struct FarSettingsCreate { size_t StructSize; GUID Guid; HANDLE Handle; };
struct FarSettingsItem {
  size_t StructSize, Root;
  const wchar_t* Name;
  int Type;
  union { unsigned long long Number; const wchar_t* String; struct { size_t Size; const void* Data; } Data; };
};
struct ProgressValue { size_t StructSize; unsigned long long Completed, Total; };

// The host's table: 35 slots of a pointer's width after StructSize.
struct PluginStartupInfo {
  size_t StructSize;
  const wchar_t* ModuleName;
  void* Slots[33];
};
enum TSlot {
  sMenu = 0, sMessage = 1, sGetMsg = 2, sPanelControl = 3, sFSF = 14, sAdvControl = 16, sDialogInit = 19,
  sDialogRun = 20, sDialogFree = 21, sSendDlgMessage = 22, sSettingsControl = 29,
};

}  // namespace bench3

struct TMenu3Call {
  std::wstring Title, HelpTopic;
  unsigned long long Flags;
  std::vector<std::wstring> Items;
  int Highlighted;
};

struct TDialog3Call {
  intptr_t Width, Height;
  std::wstring HelpTopic;
  std::vector<bench3::FarDialogItem> Items;
  std::vector<std::wstring> Texts;  // each item's Data as given
  intptr_t Result;
};

struct TDialog3Answer {
  std::vector<std::pair<int, std::wstring>> Edits;
  std::vector<int> Toggles;
  intptr_t Result = -1;
};

struct TPanel3Item {
  std::wstring Name;  // as the panel lists it
  DWORD Attributes = 0;
  FILETIME Created = {};
  unsigned long long Size = 0;
};

class TUnicodeBench {
 public:
  TUnicodeBench();
  ~TUnicodeBench();
  TUnicodeBench(const TUnicodeBench&) = delete;
  TUnicodeBench& operator=(const TUnicodeBench&) = delete;

  // Loads the DLL and finds the Unicode entry points by their plain names.
  bool Load(const std::wstring& dllPath);
  const std::string& Error() const { return error_; }
  // The DLL, for faults and stand-ins through its import table.
  HMODULE Module() const { return module_; }
  // The messages of a language file, read as the host reads one without a
  // byte-order mark: in the OEM code page.
  bool LoadLanguage(const std::wstring& lngPath);

  // The entry points.
  bench3::GlobalInfo GetGlobalInfo();
  // The table, of StructSize bytes (0: the whole of it).
  void Start(size_t structSize = 0);
  bench3::PluginInfo GetPluginInfo();
  HANDLE OpenFromMenu();
  HANDLE OpenFromMacro(const std::vector<bench3::FarMacroValue>& values);
  intptr_t Configure();
  void Exit();

  // The script and the active panel.
  std::deque<int> MenuAnswers;
  std::deque<TDialog3Answer> DialogAnswers;
  int PanelType = 0;
  unsigned long long PanelFlags = 0x20;  // real names
  std::wstring Folder;
  std::vector<TPanel3Item> Selection;
  // Selects a file by its full path, with what the file system says of it.
  bool SelectFile(const std::wstring& path);

  // The settings store: name to a number or a text.
  std::map<std::wstring, unsigned long long> Numbers;
  std::map<std::wstring, std::wstring> Texts;
  int Opens = 0, Commits = 0;

  // What the plugin did.
  std::vector<TMenu3Call> Menus;
  std::vector<TDialog3Call> Dialogs;
  std::vector<std::vector<std::wstring>> Boxes;  // message and progress boxes, the title first
  std::vector<unsigned long long> BoxFlags;
  std::vector<std::pair<int, unsigned long long>> Taskbar;  // command, and Completed for values
  std::vector<std::wstring> Messages;
  GUID PluginGuid = {};

  static TUnicodeBench* Current;

 private:
  friend struct THost3Services;
  HMODULE module_ = nullptr;
  std::string error_;
  std::wstring moduleName_;
  void* entries_[6] = {};
  bench3::PluginStartupInfo info_;
  unsigned char fsf_[400];
  bench3::PanelInfo panel_;
};
