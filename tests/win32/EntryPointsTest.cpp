// The DLL as the host sees it: its exports and imports, what it announces,
// the command menu and its dispatch.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "host/ansi/FarUtil.h"
#include "core/Messages.h"
#include "tests/win32/PluginTestSupport.h"

using namespace testsupport;

namespace {

// Names in the export and import directories of a loaded module, and the
// Windows versions its header asks for.
struct TModuleTables {
  std::vector<std::string> Exports;
  std::vector<std::string> Imports;    // DLL names, lower case
  std::vector<std::string> Functions;  // dll!function
  int OsVersion = 0, SubsystemVersion = 0;  // major * 100 + minor
};

TModuleTables ReadTables(HMODULE module) {
  TModuleTables t;
  auto base = reinterpret_cast<const uint8_t*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  t.OsVersion = nt->OptionalHeader.MajorOperatingSystemVersion * 100 + nt->OptionalHeader.MinorOperatingSystemVersion;
  t.SubsystemVersion = nt->OptionalHeader.MajorSubsystemVersion * 100 + nt->OptionalHeader.MinorSubsystemVersion;
  const IMAGE_DATA_DIRECTORY& ex = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (ex.Size) {
    auto dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + ex.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + dir->AddressOfNames);
    for (DWORD i = 0; i < dir->NumberOfNames; ++i) t.Exports.push_back(reinterpret_cast<const char*>(base + names[i]));
    EXPECT_EQ(dir->NumberOfFunctions, dir->NumberOfNames) << "exports without a name";
  }
  const IMAGE_DATA_DIRECTORY& im = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + im.VirtualAddress); im.Size && d->Name; ++d) {
    std::string name = reinterpret_cast<const char*>(base + d->Name);
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    t.Imports.push_back(name);
    for (auto thunk = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk); thunk->u1.AddressOfData;
         ++thunk) {
      if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) {
        t.Functions.push_back(name + "!#" + std::to_string(IMAGE_ORDINAL(thunk->u1.Ordinal)));
        continue;
      }
      auto byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + thunk->u1.AddressOfData);
      t.Functions.push_back(name + "!" + reinterpret_cast<const char*>(byName->Name));
    }
  }
  return t;
}

// Every function the DLL may import. Each is exported by the system DLLs of
// Windows XP SP3 (32-bit) and of Windows XP x64 and Server 2003 (64-bit), the
// oldest systems the host runs on. A new import is a decision: it is added
// here once it is known to be there.
const std::set<std::string> kAllowedImports = {
    "advapi32.dll!RegCloseKey", "advapi32.dll!RegCreateKeyExW", "advapi32.dll!RegQueryValueExA",
    "advapi32.dll!RegSetValueExA", "advapi32.dll!RegOpenKeyExW",
    "kernel32.dll!CloseHandle", "kernel32.dll!CreateFileW", "kernel32.dll!CreateSemaphoreW",
    "kernel32.dll!DeleteCriticalSection", "kernel32.dll!DeleteFileW", "kernel32.dll!EnterCriticalSection",
    "kernel32.dll!FileTimeToSystemTime", "kernel32.dll!FindClose", "kernel32.dll!FindFirstFileW",
    "kernel32.dll!FindNextFileW", "kernel32.dll!FreeLibrary", "kernel32.dll!GetCurrentThreadId",
    "kernel32.dll!GetDateFormatA", "kernel32.dll!GetFileAttributesW", "kernel32.dll!GetFileSizeEx",
    "kernel32.dll!GetLastError", "kernel32.dll!GetLocalTime", "kernel32.dll!GetLocaleInfoA",
    "kernel32.dll!GetModuleHandleA", "kernel32.dll!GetModuleHandleW", "kernel32.dll!GetProcAddress",
    "kernel32.dll!GetTempPathW", "kernel32.dll!GetThreadLocale", "kernel32.dll!GlobalAlloc",
    "kernel32.dll!GetNumberOfConsoleInputEvents", "kernel32.dll!GetProcessHeap", "kernel32.dll!GetStdHandle",
    "kernel32.dll!GetTickCount", "kernel32.dll!HeapAlloc", "kernel32.dll!GetLongPathNameW",
    "kernel32.dll!GetDateFormatW", "kernel32.dll!GetLocaleInfoW", "kernel32.dll!HeapFree", "kernel32.dll!ReadConsoleInputW",
    "kernel32.dll!GlobalFree", "kernel32.dll!GlobalLock", "kernel32.dll!GlobalUnlock",
    "kernel32.dll!InitializeCriticalSection", "kernel32.dll!IsDBCSLeadByteEx", "kernel32.dll!LeaveCriticalSection",
    "kernel32.dll!LoadLibraryA", "kernel32.dll!LoadLibraryW", "kernel32.dll!MultiByteToWideChar",
    "kernel32.dll!ReadFile", "kernel32.dll!ReleaseSemaphore", "kernel32.dll!SetFileAttributesW",
    "kernel32.dll!SetFilePointerEx", "kernel32.dll!SetLastError", "kernel32.dll!Sleep", "kernel32.dll!TlsAlloc",
    "kernel32.dll!TlsFree", "kernel32.dll!TlsGetValue", "kernel32.dll!TlsSetValue", "kernel32.dll!VirtualProtect",
    "kernel32.dll!VirtualQuery", "kernel32.dll!WaitForSingleObject", "kernel32.dll!WideCharToMultiByte",
    "kernel32.dll!WriteFile", "kernel32.dll!FormatMessageW", "kernel32.dll!GetEnvironmentVariableW",
    "kernel32.dll!CreateDirectoryW", "kernel32.dll!SetFileTime", "kernel32.dll!GetSystemTimeAsFileTime",
    "kernel32.dll!CreatePipe", "kernel32.dll!SetHandleInformation", "kernel32.dll!CreateProcessW",
    "kernel32.dll!PeekNamedPipe", "kernel32.dll!TerminateProcess", "shell32.dll!SHGetFolderPathW",
    "kernel32.dll!MoveFileExW",
    "msvcrt.dll!__mb_cur_max", "msvcrt.dll!_amsg_exit", "msvcrt.dll!_close", "msvcrt.dll!_errno",
    "msvcrt.dll!_initterm", "msvcrt.dll!_iob", "msvcrt.dll!_lock", "msvcrt.dll!_read", "msvcrt.dll!_unlock",
    "msvcrt.dll!abort", "msvcrt.dll!atoi", "msvcrt.dll!calloc", "msvcrt.dll!fputc", "msvcrt.dll!fputs",
    "msvcrt.dll!free", "msvcrt.dll!fwrite", "msvcrt.dll!localeconv", "msvcrt.dll!malloc", "msvcrt.dll!memchr",
    "msvcrt.dll!memcmp", "msvcrt.dll!memcpy", "msvcrt.dll!memmove", "msvcrt.dll!memset", "msvcrt.dll!realloc",
    "msvcrt.dll!setlocale", "msvcrt.dll!strchr", "msvcrt.dll!strcmp", "msvcrt.dll!strerror", "msvcrt.dll!strlen",
    "msvcrt.dll!strncmp", "msvcrt.dll!vfprintf", "msvcrt.dll!wcslen",
    "shell32.dll!ShellExecuteExW",
    "user32.dll!CloseClipboard", "user32.dll!EmptyClipboard", "user32.dll!OemToCharBuffA",
    "user32.dll!OpenClipboard", "user32.dll!SetClipboardData",
    // The 64-bit runtime's unwinder and its forms of the C runtime's globals.
    "kernel32.dll!RaiseException", "kernel32.dll!RtlCaptureContext", "kernel32.dll!RtlLookupFunctionEntry",
    "kernel32.dll!RtlUnwindEx", "kernel32.dll!RtlVirtualUnwind", "msvcrt.dll!___lc_codepage_func",
    "msvcrt.dll!___mb_cur_max_func", "msvcrt.dll!__iob_func",
};

}  // namespace

TEST(GalvoraDll, ExportsBothInterfacesByPlainName) {
  HMODULE dll = LoadLibraryA(DllPath().c_str());
  ASSERT_NE(dll, nullptr);
  TModuleTables t = ReadTables(dll);
  std::sort(t.Exports.begin(), t.Exports.end());
  // The four of the 1.x interface, the six of the Unicode one, and the
  // version check that keeps a 2.x host away.
  EXPECT_EQ(t.Exports, (std::vector<std::string>{"Configure", "ConfigureW", "ExitFARW", "GetGlobalInfoW",
                                                 "GetMinFarVersionW", "GetPluginInfo", "GetPluginInfoW", "OpenPlugin",
                                                 "OpenW", "SetStartupInfo", "SetStartupInfoW"}));
  for (const char* decorated : {"OpenPlugin@8", "_OpenPlugin@8", "SetStartupInfo@4", "_GetGlobalInfoW@4"})
    EXPECT_EQ(GetProcAddress(dll, decorated), nullptr) << decorated;
  FreeLibrary(dll);
}

TEST(GalvoraDll, ImportsOnlySystemFunctionsThatWindowsXPHas) {
  HMODULE dll = LoadLibraryA(DllPath().c_str());
  ASSERT_NE(dll, nullptr);
  const TModuleTables t = ReadTables(dll);
  const std::set<std::string> system = {"kernel32.dll", "user32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll"};
  for (const std::string& name : t.Imports) EXPECT_TRUE(system.count(name)) << name;
  EXPECT_FALSE(t.Functions.empty());
  for (const std::string& function : t.Functions) EXPECT_TRUE(kAllowedImports.count(function)) << function;
  // No thread library: the DLL starts no thread and takes no lock.
  for (const char* thread : {"msvcrt.dll!_beginthreadex", "kernel32.dll!SuspendThread", "kernel32.dll!GetTickCount64"})
    EXPECT_EQ(std::count(t.Functions.begin(), t.Functions.end(), thread), 0) << thread;
  // The loader of Windows XP (5.1; XP x64 is 5.2) refuses a DLL that asks for a later system.
  EXPECT_LE(t.OsVersion, sizeof(void*) == 8 ? 502 : 501);
  EXPECT_LE(t.SubsystemVersion, sizeof(void*) == 8 ? 502 : 501);
  FreeLibrary(dll);
}

TEST(GalvoraThumbs, ImportsOnlyWhatWindowsXPHasAndNoThreadLibrary) {
  // The worker's own functions beyond the DLL's: its threads and its copies.
  const std::set<std::string> worker = {
      "kernel32.dll!CreateThread", "kernel32.dll!GetCurrentProcess", "kernel32.dll!GetStartupInfoA",
      "kernel32.dll!GetSystemInfo", "kernel32.dll!SetUnhandledExceptionFilter",
      "kernel32.dll!WaitForMultipleObjects", "kernel32.dll!__C_specific_handler", "ole32.dll!CoCreateInstance",
      "ole32.dll!CoInitializeEx", "ole32.dll!CoUninitialize"};
  HMODULE exe = LoadLibraryExA((BinDir() + "GalvoraThumbs.exe").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(exe, nullptr);
  const TModuleTables t = ReadTables(exe);
  for (const std::string& function : t.Functions) {
    if (function.compare(0, 11, "msvcrt.dll!") == 0) continue;  // the C runtime of every Windows
    EXPECT_TRUE(kAllowedImports.count(function) || worker.count(function)) << function;
  }
  EXPECT_EQ(std::count(t.Functions.begin(), t.Functions.end(), "msvcrt.dll!_beginthreadex"), 0);
  EXPECT_LE(t.OsVersion, sizeof(void*) == 8 ? 502 : 501);
  EXPECT_LE(t.SubsystemVersion, sizeof(void*) == 8 ? 502 : 501);
  FreeLibrary(exe);
}

class EntryPoints : public PluginTest {};

TEST_F(EntryPoints, AnnouncesOneEntryInThePluginsAndConfigurationMenus) {
  StartPlugin();
  int32_t diskNumbers[1] = {7};
  const char* diskStrings[1] = {"disk"};
  bench1::PluginInfo start{};
  start.DiskMenuStrings = diskStrings;
  start.DiskMenuNumbers = diskNumbers;
  start.CommandPrefix = "x";
  bench1::PluginInfo info = host_->GetPluginInfo(start);
  EXPECT_EQ(info.StructSize, sizeof(void*) == 8 ? 72 : 40) << "the record up to and including CommandPrefix";
  EXPECT_EQ(info.Flags, 0u);
  EXPECT_EQ(info.DiskMenuStrings, diskStrings);
  EXPECT_EQ(info.DiskMenuNumbers, diskNumbers);
  EXPECT_EQ(info.DiskMenuStringsNumber, 0);
  ASSERT_NE(info.PluginMenuStrings, nullptr);
  EXPECT_EQ(info.PluginMenuStringsNumber, 1);
  EXPECT_EQ(info.PluginConfigStrings, info.PluginMenuStrings);
  EXPECT_EQ(info.PluginConfigStringsNumber, 1);
  EXPECT_EQ(info.CommandPrefix, nullptr);
  EXPECT_STREQ(info.PluginMenuStrings[0], "Galvora");
  EXPECT_EQ(info.PluginMenuStrings[0], host_->Messages[0].c_str()) << "the host's own text, not a copy";
}

TEST_F(EntryPoints, HostRecordIsReadOnlyAsFarAsItsStructSizeSays) {
  // A host whose record ends before Control: the pointer that lies behind
  // it in memory is not the host's and must not be called.
  host_ = std::make_unique<THostBench>();
  ASSERT_TRUE(host_->Load(DllPath())) << host_->Error();
  ASSERT_TRUE(host_->LoadLanguage(BinDir() + "GalvoraEng.lng"));
  host_->RootKey = root_;
  host_->StructSize = offsetof(bench1::PluginStartupInfo, Control);
  host_->Start();
  host_->MenuAnswers = {2};
  EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(host_->Menus.size(), 1u) << "the services inside the record are used";
  EXPECT_TRUE(host_->Controls.empty());
  EXPECT_EQ(ReadValue(SettingsKey(), "ColsTh").Data, Dword(6)) << "and so is RootKey";
}

TEST_F(EntryPoints, SecondAnnouncementSharesTheArrayWithTheTitleOfThatMoment) {
  StartPlugin();
  bench1::PluginInfo first = host_->GetPluginInfo();
  host_->Messages[0] = "A title that has changed";
  bench1::PluginInfo second = host_->GetPluginInfo();
  EXPECT_EQ(first.PluginMenuStrings, second.PluginMenuStrings);
  EXPECT_EQ(second.PluginConfigStrings, second.PluginMenuStrings);
  EXPECT_STREQ(second.PluginMenuStrings[0], "A title that has changed");
}

TEST_F(EntryPoints, MenuShowsTheFiveCommandsUnderTheTitle) {
  StartPlugin();
  host_->MenuAnswers.push_back(-1);
  EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE);
  ASSERT_EQ(host_->Menus.size(), 1u);
  const TMenuCall& m = host_->Menus[0];
  EXPECT_EQ(m.ModuleNumber, host_->ModuleNumber);
  EXPECT_EQ(m.X, -1);
  EXPECT_EQ(m.Y, -1);
  EXPECT_EQ(m.MaxHeight, 0);
  EXPECT_EQ(m.Flags, 4u);
  EXPECT_EQ(m.TitlePtr, host_->Messages[0].c_str());
  EXPECT_TRUE(m.BottomNull && m.BreakKeysNull && m.BreakCodeNull);
  EXPECT_EQ(m.HelpTopic, "Menu") << "F1 opens the menu's topic of the help file";
  ASSERT_EQ(m.Items.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_STREQ(m.Items[i].Text, host_->Messages[7 + i].c_str());
    EXPECT_EQ(m.Items[i].Selected, i == 0 ? -1 : 0);
    EXPECT_EQ(m.Items[i].Checked, 0);
    EXPECT_EQ(m.Items[i].Separator, 0);
  }
  EXPECT_TRUE(host_->Controls.empty()) << "a cancelled menu asks the host for nothing";
}

TEST_F(EntryPoints, LongMenuTextIsCutToTheField) {
  StartPlugin();
  host_->Messages[9] = std::string(300, 'x');
  host_->MenuAnswers.push_back(-1);
  host_->OpenPlugin();
  ASSERT_EQ(host_->Menus.size(), 1u);
  EXPECT_EQ(std::string(host_->Menus[0].Items[2].Text), std::string(127, 'x'));
}

TEST_F(EntryPoints, ConfigureLineShowsTheDialogThenTheMenuWithLineFiveHighlighted) {
  StartPlugin();
  host_->MenuAnswers = {4, 4, 4, -1};
  EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE);
  ASSERT_EQ(host_->Menus.size(), 4u);
  EXPECT_EQ(host_->Dialogs.size(), 3u);
  EXPECT_TRUE(host_->Controls.empty());
  for (size_t n = 0; n < 4; ++n)
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(host_->Menus[n].Items[i].Selected, i == (n == 0 ? 0 : 4) ? -1 : 0) << "menu " << n << " line " << i;
}

TEST_F(EntryPoints, EveryCommandAsksForThePanelOnceAndOpensNoPanel) {
  StartPlugin();
  for (int line : {0, 1, 2, 3}) {
    host_->Controls.clear();
    host_->MenuAnswers = {line};
    EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE) << line;
    ASSERT_EQ(host_->Controls.size(), 1u) << line;
    EXPECT_EQ(host_->Controls[0].Plugin, INVALID_HANDLE_VALUE);
    EXPECT_EQ(host_->Controls[0].Command, 1);
  }
  EXPECT_EQ(host_->Configure(0), 0);
}

TEST_F(EntryPoints, EachOpenStartsWithTheFirstLineHighlighted) {
  StartPlugin();
  host_->MenuAnswers = {4, -1};
  host_->OpenPlugin();
  host_->MenuAnswers = {-1};
  host_->OpenPlugin();
  ASSERT_EQ(host_->Menus.size(), 3u);
  EXPECT_EQ(host_->Menus[2].Items[0].Selected, -1);
}

TEST_F(EntryPoints, HighlightOutsideTheMenuFallsBackToTheFirstLine) {
  StartPlugin(/*linked=*/true);
  struct {
    int asked, line;
  } cases[] = {{0, 0}, {3, 3}, {4, 4}, {5, 0}, {-1, 0}, {0x7FFFFFFF, 0}};
  for (const auto& c : cases) {
    host_->Menus.clear();
    host_->MenuAnswers = {2};
    EXPECT_EQ(ShowCommandMenu(c.asked), 2);
    ASSERT_EQ(host_->Menus.size(), 1u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(host_->Menus[0].Items[i].Selected, i == c.line ? -1 : 0) << c.asked;
  }
}

TEST_F(EntryPoints, ViewFollowsTheLastGalleryLine) {
  StartPlugin();
  TScratchFolder pics;
  std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x02\x80\0\0\x01\xe0\x08\x02\0\0\0", 29);
  pics.Make("a.png", png);
  host_->CurDir = pics.Path();
  ASSERT_TRUE(host_->SelectFile(pics.Path() + "a.png"));
  const std::string thumb = RunMenu(1);
  ASSERT_FALSE(thumb.empty());
  EXPECT_NE(Slurp(thumb).find("width=\"120\" height=\"90\""), std::string::npos);
  DeleteFileA(thumb.c_str());
  const std::string full = RunMenu(0);
  ASSERT_FALSE(full.empty());
  EXPECT_NE(Slurp(full).find("border=0 width=\"640\" height=\"480\""), std::string::npos);
}

TEST(LanguageFiles, GiveEveryMessageAndLabelsThatFitTheDialog) {
  struct {
    int message;
    size_t longest;  // cells before the next field in the settings dialog
  } labels[] = {{1, 18}, {2, 18}, {3, 9}, {4, 8}, {5, 7}, {6, 11}, {12, 28}, {28, 28}};
  for (const char* file : {"GalvoraEng.lng", "GalvoraRus.lng"}) {
    THostBench host;
    ASSERT_TRUE(host.LoadLanguage(BinDir() + file)) << file;
    ASSERT_EQ(host.Messages.size(), static_cast<size_t>(kMessageCount)) << file;
    for (const auto& l : labels) EXPECT_LE(host.Messages[l.message].size(), l.longest) << file << " message " << l.message;
    for (const std::string& m : host.Messages) EXPECT_FALSE(m.empty()) << file;
  }
  // The Russian file is in the OEM code page 866: "Отмена" begins with 0x8E.
  THostBench russian;
  russian.LoadLanguage(BinDir() + "GalvoraRus.lng");
  EXPECT_EQ(static_cast<unsigned char>(russian.Messages[14][0]), 0x8Eu);
}

TEST_F(EntryPoints, SettingsDialogShowsEveryLabelWholeInBothLanguages) {
  for (const char* file : {"GalvoraEng.lng", "GalvoraRus.lng"}) {
    StartPlugin();
    ASSERT_TRUE(host_->LoadLanguage(BinDir() + file)) << file;
    host_->Configure(0);
    ASSERT_EQ(host_->Dialogs.size(), 1u) << file;
    for (const auto& item : host_->Dialogs[0].Items)
      EXPECT_EQ(ShownText(item), item.Data) << file << ": the host cuts this label to its columns";
  }
}
