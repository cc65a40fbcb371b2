#include "tools/hostemu/HostBench.h"

#include <shlobj.h>

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <cstring>
#include <fstream>
#include <sstream>

using namespace bench1;

THostBench* THostBench::Current = nullptr;

namespace {

const char kNoText[] = "";

void CopyField(char* field, size_t size, const std::string& text) {
  size_t n = std::min(text.size(), size - 1);
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return std::string();
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

PluginPanelItem ItemFromFindData(const WIN32_FIND_DATAW& data) {
  PluginPanelItem item;
  std::memset(&item, 0, sizeof item);
  item.FindData.dwFileAttributes = data.dwFileAttributes;
  item.FindData.ftCreationTime = {data.ftCreationTime.dwLowDateTime, data.ftCreationTime.dwHighDateTime};
  item.FindData.ftLastAccessTime = {data.ftLastAccessTime.dwLowDateTime, data.ftLastAccessTime.dwHighDateTime};
  item.FindData.ftLastWriteTime = {data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime};
  item.FindData.nFileSizeHigh = data.nFileSizeHigh;
  item.FindData.nFileSizeLow = data.nFileSizeLow;
  // The host shows names in the OEM code page.
  CopyField(item.FindData.cFileName, sizeof item.FindData.cFileName, OemFromWide(data.cFileName));
  CopyField(item.FindData.cAlternateFileName, sizeof item.FindData.cAlternateFileName,
            OemFromWide(data.cAlternateFileName));
  return item;
}

// While the plugin runs, the host has the file functions speak OEM, and
// switches them back afterwards.
class TOemFileApis {
 public:
  TOemFileApis() : wasAnsi_(AreFileApisANSI() != FALSE) { SetFileApisToOEM(); }
  ~TOemFileApis() {
    if (wasAnsi_) SetFileApisToANSI();
  }
  TOemFileApis(const TOemFileApis&) = delete;
  TOemFileApis& operator=(const TOemFileApis&) = delete;

 private:
  bool wasAnsi_;
};

// Import fault injection: WriteFile as the plugin calls it succeeds
// gWritesLeft more times, then fails as on a full disk.
int gWritesLeft = -1;
decltype(&::WriteFile) gRealWriteFile = ::WriteFile;

BOOL WINAPI CountedWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (gWritesLeft != 0) {
    if (gWritesLeft > 0) --gWritesLeft;
    return gRealWriteFile(file, data, size, written, overlapped);
  }
  if (written) *written = 0;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

// The clock as the plugin reads it: real, or advanced by a step at each call.
DWORD gClockStep = 0, gClock = 0;
DWORD WINAPI SteppedTickCount() { return gClock += gClockStep; }

// The console input as the plugin sees it: Esc at the n-th look.
int gLooksLeft = -1;
BOOL WINAPI ScriptedInputEvents(HANDLE, LPDWORD count) {
  *count = gLooksLeft > 0 && --gLooksLeft == 0 ? 1 : 0;
  return TRUE;
}
BOOL WINAPI ScriptedReadInput(HANDLE, PINPUT_RECORD events, DWORD length, LPDWORD read) {
  if (length == 0) return FALSE;
  std::memset(events, 0, sizeof *events);
  events->EventType = KEY_EVENT;
  events->Event.KeyEvent.bKeyDown = TRUE;
  events->Event.KeyEvent.wRepeatCount = 1;
  events->Event.KeyEvent.wVirtualKeyCode = VK_ESCAPE;
  events->Event.KeyEvent.uChar.UnicodeChar = 27;
  *read = 1;
  return TRUE;
}

// Heap blocks: the n-th fails.
int gHeapCalls = 0, gFailHeapAt = 0;
LPVOID WINAPI CountedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
  if (++gHeapCalls == gFailHeapAt) return nullptr;
  return HeapAlloc(heap, flags, size);
}

// The processes that the shell started for the pages opened so far.
std::vector<HANDLE> gPageHandlers;
// When the first page was asked for (the performance counter).
LONGLONG gFirstOpen = 0;
std::vector<std::string> gShellTrouble;

}  // namespace

BOOL WINAPI RecordedShellExecuteExW(SHELLEXECUTEINFOW* info) {
  if (!info) return ShellExecuteExW(info);
  if (THostBench::Current)
    THostBench::Current->ShellOpens.push_back(info->lpFile ? NarrowFrom(info->lpFile, CP_ACP) : std::string());
  // The handler's process is kept, so that the bench can wait for it to end
  // instead of guessing how long its start takes; the plugin gets the
  // handle only when it asked for it.
  if (gFirstOpen == 0) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    gFirstOpen = now.QuadPart;
  }
  const bool wanted = (info->fMask & SEE_MASK_NOCLOSEPROCESS) != 0;
  info->fMask |= SEE_MASK_NOCLOSEPROCESS;
  const BOOL ok = ShellExecuteExW(info);
  const std::string page = info->lpFile ? NarrowFrom(info->lpFile, CP_UTF8) : std::string();
  if (!ok)
    gShellTrouble.push_back(page + ": the shell failed (error " + std::to_string(GetLastError()) + ")");
  else if (!info->hProcess)
    gShellTrouble.push_back(page + ": the shell started no handler process");
  if (ok && info->hProcess) {
    HANDLE kept = nullptr;
    if (!wanted) {
      kept = info->hProcess;
      info->hProcess = nullptr;
    } else {
      DuplicateHandle(GetCurrentProcess(), info->hProcess, GetCurrentProcess(), &kept, 0, FALSE, DUPLICATE_SAME_ACCESS);
    }
    if (kept) gPageHandlers.push_back(kept);
  }
  if (!wanted) info->fMask &= ~SEE_MASK_NOCLOSEPROCESS;
  return ok;
}

namespace {

std::wstring gLocalAppData;

HRESULT WINAPI RedirectedFolderPath(HWND window, int folder, HANDLE token, DWORD flags, LPWSTR path) {
  if ((folder & 0xFF) != CSIDL_LOCAL_APPDATA) return SHGetFolderPathW(window, folder, token, flags, path);
  if (gLocalAppData.empty() || gLocalAppData.size() >= MAX_PATH) return E_FAIL;
  lstrcpyW(path, gLocalAppData.c_str());
  return S_OK;
}

}  // namespace

bool RedirectLocalAppData(HMODULE module, const std::wstring& folder) {
  gLocalAppData = folder;
  return PatchImport(module, "shell32.dll", "SHGetFolderPathW", reinterpret_cast<void*>(RedirectedFolderPath));
}

bool THostBench::LocalAppData(const std::wstring& folder) { return RedirectLocalAppData(module_, folder); }

double MillisecondsToFirstOpen(LONGLONG since) {
  if (gFirstOpen == 0) return -1;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(gFirstOpen - since) / static_cast<double>(frequency.QuadPart);
}

std::vector<std::string> ShellTrouble() {
  if (gFirstOpen == 0) return {"the plugin asked to open no page"};
  return gShellTrouble;
}

bool WaitForPageHandlers(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  bool all = true;
  for (HANDLE process : gPageHandlers) {
    const DWORD spent = GetTickCount() - start;
    all = WaitForSingleObject(process, spent < timeoutMs ? timeoutMs - spent : 0) == WAIT_OBJECT_0 && all;
    CloseHandle(process);
  }
  gPageHandlers.clear();
  return all;
}

bool PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
  auto base = reinterpret_cast<uint8_t*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.Size) return false;
  for (auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
    auto names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD old;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old)) return false;
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return true;
    }
  }
  return false;
}

bool SlowClockOf(HMODULE module, DWORD stepMs) {
  gClockStep = stepMs;
  gClock = GetTickCount();
  return module && PatchImport(module, "kernel32.dll", "GetTickCount", reinterpret_cast<void*>(SteppedTickCount));
}

struct THostServices {
  static const char* WINAPI GetMsg(intptr_t pluginNumber, int32_t msgId) {
    (void)pluginNumber;
    THostBench* host = THostBench::Current;
    host->MessageIds.push_back(msgId);
    if (msgId < 0 || static_cast<size_t>(msgId) >= host->Messages.size()) return kNoText;
    return host->Messages[msgId].c_str();
  }

  static int32_t WINAPI Menu(intptr_t pluginNumber, int32_t x, int32_t y, int32_t maxHeight, uint32_t flags,
                             const char* title, const char* bottom, const char* helpTopic,
                             const int32_t* breakKeys, int32_t* breakCode, const FarMenuItem* items,
                             int32_t itemsNumber) {
    THostBench* host = THostBench::Current;
    TMenuCall call{pluginNumber, x, y, maxHeight, flags, title, title ? title : "",
                   bottom == nullptr, helpTopic == nullptr, breakKeys == nullptr, breakCode == nullptr,
                   helpTopic ? helpTopic : "", std::vector<FarMenuItem>(items, items + std::max(itemsNumber, 0))};
    host->Menus.push_back(call);
    if (host->MenuAnswers.empty()) return -1;
    int answer = host->MenuAnswers.front();
    host->MenuAnswers.pop_front();
    return answer;
  }

  static int32_t WINAPI Dialog(intptr_t pluginNumber, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                               const char* helpTopic, FarDialogItem* items, int32_t itemsNumber) {
    THostBench* host = THostBench::Current;
    TDialogCall call{pluginNumber, x1, y1, x2, y2, helpTopic,
                     std::vector<FarDialogItem>(items, items + std::max(itemsNumber, 0)), {}, -1};
    if (!host->DialogAnswers.empty()) {
      TDialogAnswer answer = host->DialogAnswers.front();
      host->DialogAnswers.pop_front();
      for (const auto& edit : answer.Edits)
        if (edit.first >= 0 && edit.first < itemsNumber)
          CopyField(items[edit.first].Data, sizeof items[edit.first].Data, edit.second);
      for (int index : answer.Toggles)
        if (index >= 0 && index < itemsNumber) items[index].Selected = items[index].Selected ? 0 : 1;
      call.Result = answer.Result;
    }
    call.Closed.assign(items, items + std::max(itemsNumber, 0));
    host->Dialogs.push_back(call);
    return call.Result;
  }

  static int32_t WINAPI Message(intptr_t pluginNumber, uint32_t flags, const char* helpTopic,
                                const char* const* items, int32_t itemsNumber, int32_t buttonsNumber) {
    (void)pluginNumber;
    (void)helpTopic;
    THostBench* host = THostBench::Current;
    TMessageCall call{flags, {}, buttonsNumber, GetTickCount() - host->calledAt_};
    for (int32_t i = 0; i < itemsNumber; ++i) call.Lines.push_back(items[i] ? items[i] : "");
    host->Boxes.push_back(call);
    return buttonsNumber > 0 || (flags & 0xF0000) ? 0 : -1;  // OK pressed; a progress box returns at once
  }

  static void* WINAPI SaveScreen(int32_t, int32_t, int32_t, int32_t) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(++THostBench::Current->ScreensSaved));
  }

  static void WINAPI RestoreScreen(void* screen) {
    if (screen) ++THostBench::Current->ScreensRestored;
  }

  static int32_t WINAPI Control(void* plugin, int32_t command, void* param) {
    THostBench* host = THostBench::Current;
    host->Controls.push_back({plugin, command});
    if (command != FCTL_GETPANELINFO || !param) return FALSE;
    PanelInfo* panel = static_cast<PanelInfo*>(param);
    std::memset(panel, 0, sizeof *panel);
    panel->PanelType = host->PanelType;
    panel->Plugin = host->PanelPlugin;
    panel->Flags = host->PanelFlags;
    panel->SelectedItems = host->Selection.empty() ? nullptr : host->Selection.data();
    panel->SelectedItemsNumber = static_cast<int32_t>(host->Selection.size());
    CopyField(panel->CurDir, sizeof panel->CurDir, host->CurDir);
    return TRUE;
  }
};

THostBench::THostBench() {
  Current = this;
  std::memset(&info_, 0, sizeof info_);
}

THostBench::~THostBench() {
  if (module_) FreeLibrary(module_);
  if (Current == this) Current = nullptr;
}

bool THostBench::Load(const std::string& dllPath) {
  module_ = LoadLibraryW(WideFrom(dllPath, CP_ACP).c_str());
  if (!module_) {
    error_ = "cannot load " + dllPath + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  // By the exact plain names, as the host looks them up.
  auto resolve = [&](const char* name, auto& entry) {
    FARPROC p = GetProcAddress(module_, name);
    if (!p) error_ += std::string(error_.empty() ? "" : ", ") + "no export named " + name;
    static_assert(sizeof entry == sizeof p, "");
    std::memcpy(&entry, &p, sizeof entry);
  };
  resolve("SetStartupInfo", entries_.SetStartupInfo);
  resolve("GetPluginInfo", entries_.GetPluginInfo);
  resolve("OpenPlugin", entries_.OpenPlugin);
  resolve("Configure", entries_.Configure);
  PatchImport(module_, "shell32.dll", "ShellExecuteExW", reinterpret_cast<void*>(RecordedShellExecuteExW));
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(module_, path, MAX_PATH);
  ModuleName = OemFromWide(std::wstring(path, n));
  return error_.empty();
}

void THostBench::Use(const TPluginEntries& entries, const std::string& moduleName) {
  entries_ = entries;
  ModuleName = moduleName;
}

bool THostBench::LoadLanguage(const std::string& lngPath) {
  std::ifstream in(lngPath, std::ios::binary);
  if (!in) return false;
  Messages.clear();
  std::string line;
  bool header = false;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line.compare(0, 2, "//") == 0) continue;
    if (line.compare(0, 10, ".Language=") == 0) {
      header = true;
      continue;
    }
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') return false;
    Messages.push_back(line.substr(1, line.size() - 2));
  }
  return header;
}

bool THostBench::FailWritesAfter(int writes) {
  gWritesLeft = writes;
  return module_ && PatchImport(module_, "kernel32.dll", "WriteFile", reinterpret_cast<void*>(CountedWriteFile));
}

bool THostBench::SlowClock(DWORD stepMs) { return SlowClockOf(module_, stepMs); }

bool THostBench::PressEscAt(int checks) {
  gLooksLeft = checks;
  return module_ &&
         PatchImport(module_, "kernel32.dll", "GetNumberOfConsoleInputEvents", reinterpret_cast<void*>(ScriptedInputEvents)) &&
         PatchImport(module_, "kernel32.dll", "ReadConsoleInputW", reinterpret_cast<void*>(ScriptedReadInput));
}

bool THostBench::FailHeapAllocation(int n) {
  gHeapCalls = 0;
  gFailHeapAt = n;
  return module_ && PatchImport(module_, "kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(CountedHeapAlloc));
}

int THostBench::HeapAllocs() const { return gHeapCalls; }

void THostBench::Start() {
  Current = this;
  TOemFileApis oem;
  std::memset(&info_, 0, sizeof info_);
  info_.StructSize = StructSize ? StructSize : static_cast<int32_t>(sizeof info_);
  CopyField(info_.ModuleName, sizeof info_.ModuleName, ModuleName);
  info_.ModuleNumber = ModuleNumber;
  rootKeyText_ = RootKey;
  info_.RootKey = rootKeyText_.c_str();
  info_.Menu = THostServices::Menu;
  info_.Dialog = THostServices::Dialog;
  info_.Message = THostServices::Message;
  info_.SaveScreen = THostServices::SaveScreen;
  info_.RestoreScreen = THostServices::RestoreScreen;
  info_.GetMsg = THostServices::GetMsg;
  info_.Control = THostServices::Control;
  entries_.SetStartupInfo(&info_);
}

PluginInfo THostBench::GetPluginInfo(const PluginInfo& start) {
  Current = this;
  PluginInfo info = start;
  TOemFileApis oem;
  entries_.GetPluginInfo(&info);
  return info;
}

HANDLE THostBench::OpenPlugin() {
  Current = this;
  calledAt_ = GetTickCount();
  TOemFileApis oem;
  return entries_.OpenPlugin(0, 0);
}

int THostBench::Configure(int itemNumber) {
  Current = this;
  calledAt_ = GetTickCount();
  TOemFileApis oem;
  return entries_.Configure(itemNumber);
}

bool THostBench::SelectFile(const std::string& ansiPath) { return SelectFile(WideFrom(ansiPath, CP_ACP)); }

bool THostBench::SelectFile(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  Selection.push_back(ItemFromFindData(data));
  return true;
}

void THostBench::SelectName(const std::string& oemName, TFarFileTime created) {
  PluginPanelItem item;
  std::memset(&item, 0, sizeof item);
  item.FindData.ftCreationTime = created;
  CopyField(item.FindData.cFileName, sizeof item.FindData.cFileName, oemName);
  Selection.push_back(item);
}

bool THostBench::SelectFolder(const std::string& ansiFolder) {
  std::string folder = ansiFolder;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  CurDir = AnsiToOem(folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(WideFrom(folder + "*", CP_ACP).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  std::vector<WIN32_FIND_DATAW> files;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(data);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(files.begin(), files.end(), [](const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
    return std::wcscmp(a.cFileName, b.cFileName) < 0;
  });
  for (const WIN32_FIND_DATAW& f : files) Selection.push_back(ItemFromFindData(f));
  return true;
}

std::wstring WideFrom(const std::string& text, UINT codePage) {
  std::wstring wide(text.size(), L'\0');
  int n = text.empty() ? 0
                       : MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                             static_cast<int>(wide.size()));
  wide.resize(n > 0 ? n : 0);
  return wide;
}

std::string NarrowFrom(const std::wstring& text, UINT codePage, bool* lossless) {
  BOOL usedDefault = FALSE;
  std::string out(text.size() * 2, '\0');
  int n = text.empty() ? 0
                       : WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                             static_cast<int>(out.size()), nullptr,
                                             codePage == CP_UTF8 ? nullptr : &usedDefault);
  out.resize(n > 0 ? n : 0);
  if (lossless) *lossless = !usedDefault && (n > 0 || text.empty());
  return out;
}

std::string OemFromWide(const std::wstring& text) { return NarrowFrom(text, CP_OEMCP); }

std::string AnsiToOem(const std::string& text) { return OemFromWide(WideFrom(text, CP_ACP)); }

std::string ShownText(const FarDialogItem& item) {
  const size_t length = strnlen(item.Data, sizeof item.Data);
  // The host clips a label to its columns when X2 is not below X1.
  if (item.Type == bench1::DI_TEXT && item.X2 >= item.X1) return std::string(item.Data, std::min<size_t>(length, item.X2 - item.X1 + 1));
  return std::string(item.Data, length);
}

namespace {

bool SetDefaultValue(const std::string& keyPath, const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

}  // namespace

bool RegisterPageHandler(const std::string& recorderExe, const std::string& logPath) {
  const std::string progId = "GalvoraBench.Page";
  const std::string command = "\"" + recorderExe + "\" \"" + logPath + "\" open \"%1\" %*";
  return SetDefaultValue(".htm", progId) && SetDefaultValue(progId + "\\shell", "open") &&
         SetDefaultValue(progId + "\\shell\\open\\command", command);
}

std::vector<TOpenRecord> ReadOpenRecords(const std::string& logPath, size_t count, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    std::vector<TOpenRecord> records;
    std::string text;
    {
      std::ifstream in(logPath, std::ios::binary);  // closed again before any wait
      std::stringstream ss;
      ss << in.rdbuf();
      text = ss.str();
    }
    // A record is a whole line. The recorder appends one in a single write,
    // but a reader may see part of it: a file read meanwhile can end inside
    // that write (where it crosses a page of the file system's cache).
    text.erase(text.find_last_of('\n') == std::string::npos ? 0 : text.find_last_of('\n') + 1);
    std::stringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
      if (line.empty()) continue;
      std::vector<std::string> fields;
      std::stringstream ss(line);
      std::string field;
      while (std::getline(ss, field, '\t')) fields.push_back(field);
      if (line.back() == '\t') fields.push_back(std::string());
      if (fields.size() < 2) continue;
      TOpenRecord record;
      record.Verb = fields[0];
      record.Directory = fields[1];
      record.Arguments.assign(fields.begin() + 2, fields.end());
      records.push_back(record);
    }
    if (records.size() >= count || GetTickCount() - start >= timeoutMs) return records;
    Sleep(20);
  }
}
