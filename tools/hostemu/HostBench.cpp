#include "tools/hostemu/HostBench.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

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

PluginPanelItem ItemFromFindData(const WIN32_FIND_DATAA& data) {
  PluginPanelItem item;
  std::memset(&item, 0, sizeof item);
  static_assert(sizeof(TFarFindData) <= sizeof(WIN32_FIND_DATAA), "");
  std::memcpy(&item.FindData, &data, sizeof item.FindData);
  // The host shows names in the OEM code page.
  CopyField(item.FindData.cFileName, sizeof item.FindData.cFileName, AnsiToOem(data.cFileName));
  return item;
}

}  // namespace

struct THostServices {
  static const char* WINAPI GetMsg(int32_t pluginNumber, int32_t msgId) {
    (void)pluginNumber;
    THostBench* host = THostBench::Current;
    host->MessageIds.push_back(msgId);
    if (msgId < 0 || static_cast<size_t>(msgId) >= host->Messages.size()) return kNoText;
    return host->Messages[msgId].c_str();
  }

  static int32_t WINAPI Menu(int32_t pluginNumber, int32_t x, int32_t y, int32_t maxHeight, uint32_t flags,
                             const char* title, const char* bottom, const char* helpTopic,
                             const int32_t* breakKeys, int32_t* breakCode, const FarMenuItem* items,
                             int32_t itemsNumber) {
    THostBench* host = THostBench::Current;
    TMenuCall call{pluginNumber, x, y, maxHeight, flags, title, title ? title : "",
                   bottom == nullptr, helpTopic == nullptr, breakKeys == nullptr, breakCode == nullptr,
                   std::vector<FarMenuItem>(items, items + std::max(itemsNumber, 0))};
    host->Menus.push_back(call);
    if (host->MenuAnswers.empty()) return -1;
    int answer = host->MenuAnswers.front();
    host->MenuAnswers.pop_front();
    return answer;
  }

  static int32_t WINAPI Dialog(int32_t pluginNumber, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
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

  static int32_t WINAPI Control(void* plugin, int32_t command, void* param) {
    THostBench* host = THostBench::Current;
    host->Controls.push_back({plugin, command});
    if (command != FCTL_GETPANELINFO || !param) return FALSE;
    PanelInfo* panel = static_cast<PanelInfo*>(param);
    std::memset(panel, 0, sizeof *panel);
    panel->PanelType = host->PanelType;
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
  module_ = LoadLibraryA(dllPath.c_str());
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
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(module_, path, sizeof path);
  ModuleName.assign(path, n);
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

void THostBench::Start() {
  Current = this;
  std::memset(&info_, 0, sizeof info_);
  info_.StructSize = sizeof info_;
  CopyField(info_.ModuleName, sizeof info_.ModuleName, ModuleName);
  info_.ModuleNumber = ModuleNumber;
  rootKeyText_ = RootKey;
  info_.RootKey = rootKeyText_.c_str();
  info_.Menu = THostServices::Menu;
  info_.Dialog = THostServices::Dialog;
  info_.GetMsg = THostServices::GetMsg;
  info_.Control = THostServices::Control;
  entries_.SetStartupInfo(&info_);
}

PluginInfo THostBench::GetPluginInfo(const PluginInfo& start) {
  Current = this;
  PluginInfo info = start;
  entries_.GetPluginInfo(&info);
  return info;
}

HANDLE THostBench::OpenPlugin() {
  Current = this;
  return entries_.OpenPlugin(0, 0);
}

int THostBench::Configure(int itemNumber) {
  Current = this;
  return entries_.Configure(itemNumber);
}

bool THostBench::SelectFile(const std::string& ansiPath) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(ansiPath.c_str(), &data);
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
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  std::vector<WIN32_FIND_DATAA> files;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(data);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(files.begin(), files.end(), [](const WIN32_FIND_DATAA& a, const WIN32_FIND_DATAA& b) {
    return std::strcmp(a.cFileName, b.cFileName) < 0;
  });
  for (const WIN32_FIND_DATAA& f : files) Selection.push_back(ItemFromFindData(f));
  return true;
}

std::string AnsiToOem(const std::string& text) {
  std::string out(text.size(), '\0');
  if (!text.empty()) CharToOemBuffA(text.data(), &out[0], static_cast<DWORD>(text.size()));
  return out;
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
