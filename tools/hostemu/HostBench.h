// A stand-in for the host: loads a plugin, lends it the services of the
// host's table, answers its menus and dialogs from a script, serves the
// active panel from a scenario, and records every call.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

// The 1.x records as the bench declares them (never the plugin's own).
#include "tools/hostemu/AnsiRecords.h"

struct TPluginEntries {
  void(WINAPI* SetStartupInfo)(const bench1::PluginStartupInfo*) = nullptr;
  void(WINAPI* GetPluginInfo)(bench1::PluginInfo*) = nullptr;
  HANDLE(WINAPI* OpenPlugin)(int, INT_PTR) = nullptr;
  int(WINAPI* Configure)(int) = nullptr;
};

// How the user answers one dialog.
struct TDialogAnswer {
  std::vector<std::pair<int, std::string>> Edits;  // item index, new text
  std::vector<int> Toggles;                        // check boxes to flip
  int Result = -1;                                 // item that closes it; -1 is Esc
};

struct TMenuCall {
  intptr_t ModuleNumber;
  int32_t X, Y, MaxHeight;
  uint32_t Flags;
  const char* TitlePtr;
  std::string Title;
  bool BottomNull, HelpNull, BreakKeysNull, BreakCodeNull;
  std::string HelpTopic;
  std::vector<bench1::FarMenuItem> Items;
};

struct TDialogCall {
  intptr_t ModuleNumber;
  int32_t X1, Y1, X2, Y2;
  const char* HelpTopic;
  std::vector<bench1::FarDialogItem> Items;  // as the plugin passed them
  std::vector<bench1::FarDialogItem> Closed;  // as the answer left them
  int Result;
};

// A message box or progress box the plugin asked for.
struct TMessageCall {
  uint32_t Flags;
  std::vector<std::string> Lines;  // the title first
  int32_t Buttons;
  DWORD AtMs;  // the real time since the last entry point was called
};

struct TControlCall {
  void* Plugin;
  int32_t Command;
};

class THostBench {
 public:
  THostBench();
  ~THostBench();
  THostBench(const THostBench&) = delete;
  THostBench& operator=(const THostBench&) = delete;

  // Loads the DLL (an ANSI path) and resolves the four entry points by
  // their exact names.
  bool Load(const std::string& dllPath);
  // Makes the loaded DLL's WriteFile calls succeed `writes` more times and
  // then fail as on a full disk (-1: never), by its import table.
  bool FailWritesAfter(int writes);
  // Further faults and stand-ins through the DLL's import table:
  // GetTickCount advances stepMs at every call (a slow disk, in effect);
  bool SlowClock(DWORD stepMs);
  // the `checks`-th look at the console input finds Esc pressed (-1: never);
  bool PressEscAt(int checks);
  // the n-th HeapAlloc fails (1-based; 0: none). HeapAllocs counts them.
  bool FailHeapAllocation(int n);
  int HeapAllocs() const;
  // The local application-data folder, as the loaded DLL finds it.
  bool LocalAppData(const std::wstring& folder);
  // Drives entry points linked into the calling program instead.
  void Use(const TPluginEntries& entries, const std::string& moduleName);
  const std::string& Error() const { return error_; }

  // Reads a host language file: a ".Language=" line, then one quoted line
  // per message.
  bool LoadLanguage(const std::string& lngPath);

  // What the host's table carries, in the OEM code page as the host gives
  // every text. Each call into the plugin runs with the file functions
  // switched to OEM, as the host runs it.
  std::string ModuleName;
  std::string RootKey = "Software\\Far\\Plugins";
  intptr_t ModuleNumber = 1;
  // The record's StructSize; 0 gives the whole 1.x record.
  int32_t StructSize = 0;
  std::vector<std::string> Messages;

  // The entry points.
  void Start();
  // Fills a copy of `start`, as the host passes its record.
  bench1::PluginInfo GetPluginInfo(const bench1::PluginInfo& start = bench1::PluginInfo{});
  HANDLE OpenPlugin();
  int Configure(int itemNumber = 0);

  // The script.
  std::deque<int> MenuAnswers;
  std::deque<TDialogAnswer> DialogAnswers;

  // The active panel. CurDir and names are OEM text, as the host gives them.
  int32_t PanelType = bench1::PTYPE_FILEPANEL;
  int32_t PanelPlugin = 0;  // a plugin's panel (an archive, FTP), with names that are real files only
  uint32_t PanelFlags = 0;  // with PFLAGS_REALNAMES

  std::string CurDir;
  std::vector<bench1::PluginPanelItem> Selection;
  // Selects a file or folder on disk by its ANSI path, with its real find
  // data: the name in the OEM code page, and its 8.3 name where it has one.
  bool SelectFile(const std::string& ansiPath);
  bool SelectFile(const std::wstring& path);
  // Selects a name as given (OEM), whether or not it exists.
  void SelectName(const std::string& oemName, bench1::TFarFileTime created = {});
  // Shows a folder (ANSI path) and selects its files in name order.
  bool SelectFolder(const std::string& ansiFolder);

  // What the plugin did.
  std::vector<int32_t> MessageIds;
  std::vector<TMenuCall> Menus;
  std::vector<TDialogCall> Dialogs;
  std::vector<TControlCall> Controls;
  std::vector<TMessageCall> Boxes;
  int ScreensSaved = 0, ScreensRestored = 0;
  // The pages a loaded DLL asked the shell to open (ANSI), in order; the
  // calls themselves go through to the shell.
  std::vector<std::string> ShellOpens;

  static THostBench* Current;

 private:
  friend struct THostServices;
  HMODULE module_ = nullptr;
  TPluginEntries entries_;
  std::string error_;
  bench1::PluginStartupInfo info_;
  DWORD calledAt_ = 0;
  std::string rootKeyText_;
};

// Points the module's import of dll!function at replacement; true when the
// import was found.
bool PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);
// Makes the module find the user's local application-data folder (where
// the plugin keeps its thumbnail cache) at folder instead; true when it
// asks the shell for it.
bool RedirectLocalAppData(HMODULE module, const std::wstring& folder);
// Makes the module's GetTickCount advance stepMs at every call.
bool SlowClockOf(HMODULE module, DWORD stepMs);

// Code page conversions of the bench (the plugin has its own).
std::wstring WideFrom(const std::string& text, UINT codePage);
// lossless: false when a character has no form in the code page.
std::string NarrowFrom(const std::wstring& text, UINT codePage, bool* lossless = nullptr);
std::string OemFromWide(const std::wstring& text);
std::string AnsiToOem(const std::string& text);

// A dialog item's text as the host draws it.
std::string ShownText(const bench1::FarDialogItem& item);

// Registers a handler for .htm pages in HKEY_CLASSES_ROOT that runs the
// recorder, which appends one line per page opened to the log.
bool RegisterPageHandler(const std::string& recorderExe, const std::string& logPath);

// The shell call that both benches put in place of the plugin's: passes it
// on, notes the page, and keeps the handler's process.
BOOL WINAPI RecordedShellExecuteExW(SHELLEXECUTEINFOW* info);
// Milliseconds from the performance counter's `since` to the first page
// that the plugin asked the shell to open; -1 when it opened none.
double MillisecondsToFirstOpen(LONGLONG since);
// Waits until every handler process started so far has ended (at most
// timeoutMs in all); false when one has not.
bool WaitForPageHandlers(DWORD timeoutMs);
// What went wrong when the plugin asked the shell to open a page (a page
// that opened no handler, the shell's error, or no page asked for at all),
// one line each.
std::vector<std::string> ShellTrouble();

struct TOpenRecord {
  std::string Verb;
  std::string Directory;             // the recorder's working folder
  std::vector<std::string> Arguments;  // the page, then any parameters
};

// The log's records, whole lines only; waits up to timeoutMs for at least
// `count` of them.
std::vector<TOpenRecord> ReadOpenRecords(const std::string& logPath, size_t count = 0, DWORD timeoutMs = 0);
