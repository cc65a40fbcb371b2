#include "tests/win32/PluginTestSupport.h"

#include <fstream>
#include <sstream>

#include "gallery/LocaleText.h"
#include "gallery/PathText.h"
#include "settings/PluginConfig.h"
#include "host/ansi/Registry.h"

extern "C" {
// The DLL's 1.x entry points, as the host sees them.
void WINAPI SetStartupInfo(const bench1::PluginStartupInfo* info);
void WINAPI GetPluginInfo(bench1::PluginInfo* info);
HANDLE WINAPI OpenPlugin(int openFrom, INT_PTR item);
int WINAPI Configure(int itemNumber);
}

namespace testsupport {

std::string BinDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

std::string DllPath() { return BinDir() + "Galvora.dll"; }

std::string SourceDir() {
  std::string unix = GALVORA_SOURCE_DIR;
  std::string windows = "Z:";
  for (char c : unix) windows += c == '/' ? '\\' : c;
  return windows + "\\";
}

std::string OpenLogPath() {
  static const std::string path = [] {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "galvora-tests-open.log";
  }();
  return path;
}

TOpenRecord WaitForOpen(const std::string& page) {
  WaitForPageHandlers(10000);
  for (int wait = 0; wait < 100; ++wait) {
    for (const TOpenRecord& r : ReadOpenRecords(OpenLogPath()))
      if (!r.Arguments.empty() && lstrcmpiA(r.Arguments[0].c_str(), page.c_str()) == 0) return r;
    Sleep(100);
  }
  return TOpenRecord();
}

std::string HomeLine(const std::string& guide) {
  return "<center><a href=" + BareFileUrl(NarrowFrom(WideFrom(BinDir() + guide, CP_ACP), CP_UTF8)) +
         ">Galvora Home</a><br>";
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::wstring Wide(const std::string& ansi) { return WideFrom(ansi, CP_ACP); }

std::string Ansi(const std::wstring& wide) { return NarrowFrom(wide, CP_ACP); }

bool ClipboardUnicode(std::wstring& text) {
  text.clear();
  if (!OpenClipboard(nullptr)) return false;
  bool found = false;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      text = p;
      found = true;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return found;
}

namespace {
bool gSharedRuntime = false;
}  // namespace

bool SharedRuntimeLoaded() { return gSharedRuntime; }

TRegValue ReadValue(const std::string& keyPath, const std::string& name) {
  TRegValue v;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &v.Type, nullptr, &size) == ERROR_SUCCESS) {
    v.Data.resize(size);
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.Type, reinterpret_cast<BYTE*>(&v.Data[0]), &size) ==
        ERROR_SUCCESS) {
      v.Data.resize(size);
      v.Exists = true;
    }
  }
  RegCloseKey(key);
  return v;
}

void SetValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& data) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

std::string Dword(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

void SetDword(const std::string& keyPath, const std::string& name, uint32_t value) {
  SetValue(keyPath, name, REG_DWORD, Dword(value));
}

void DeleteKeyTree(const std::string& keyPath) { RegDeleteTreeA(HKEY_CURRENT_USER, keyPath.c_str()); }

// Removes a folder and everything in it, whatever the names and however
// long the paths (wide functions, long form).
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((L"\\\\?\\" + folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = L"\\\\?\\" + folder + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        RemoveTree(folder + name + L"\\");
      else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryW(path.c_str());
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW((L"\\\\?\\" + folder.substr(0, folder.size() - 1)).c_str());  // without its backslash
}

namespace {

std::string Env(const char* name) {
  char buffer[4096];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

}  // namespace

TScratchFolder::TScratchFolder() {
  static int counter = 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  // Wine gives process ids again soon: the clock keeps the name new.
  path_ = std::string(temp) + "galvora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(GetTickCount()) + "-" + std::to_string(++counter) + "\\";
  CreateDirectoryA(path_.c_str(), nullptr);
}

TScratchFolder::~TScratchFolder() { RemoveTree(Wide(path_)); }

std::string TScratchFolder::Make(const std::string& name, const std::string& bytes) const {
  std::string path = path_ + name;
  WriteFile(path, bytes);
  return path;
}

std::vector<std::string> TScratchFolder::Pages() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((path_ + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() > 8 && name.compare(0, 4, "galv") == 0 &&
        name.compare(name.size() - 4, 4, ".htm") == 0)
      names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

TPluginEntries LinkedPlugin() {
  TPluginEntries e;
  e.SetStartupInfo = SetStartupInfo;
  e.GetPluginInfo = GetPluginInfo;
  e.OpenPlugin = OpenPlugin;
  e.Configure = Configure;
  return e;
}

void PluginTest::SetUp() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  root_ = std::string("Software\\GalvoraTests\\") + info->test_suite_name() + "." + info->name() + "\\Plugins";
  DeleteKeyTree(root_);
  savedTmp_ = Env("TMP");
  savedTemp_ = Env("TEMP");
  temp_ = std::make_unique<TScratchFolder>();
  SetEnvironmentVariableA("TMP", temp_->Path().c_str());
  SetEnvironmentVariableA("TEMP", temp_->Path().c_str());
}

void PluginTest::TearDown() {
  host_.reset();
  SetEnvironmentVariableA("TMP", savedTmp_.empty() ? nullptr : savedTmp_.c_str());
  SetEnvironmentVariableA("TEMP", savedTemp_.empty() ? nullptr : savedTemp_.c_str());
  temp_.reset();
  DeleteKeyTree(root_);
}

void PluginTest::StartPlugin(bool linked) {
  if (!thumbnails_ && !ReadValue(SettingsKey(), "MakeThumbs").Exists) SetDword(SettingsKey(), "MakeThumbs", 0);
  host_ = std::make_unique<THostBench>();
  if (linked) {
    // The linked copy is never unloaded; give it the state of a fresh load.
    PluginConfig = TPluginConfig();
    host_->Use(LinkedPlugin(), DllPath());
  } else {
    ASSERT_TRUE(host_->Load(DllPath())) << host_->Error();
  }
  ASSERT_TRUE(host_->LoadLanguage(BinDir() + "GalvoraEng.lng"));
  if (!moduleName_.empty()) host_->ModuleName = AnsiToOem(moduleName_);
  host_->RootKey = AnsiToOem(root_);
  host_->Start();
}

std::string PluginTest::PagePath() const {
  std::vector<std::string> pages = temp_->Pages();
  return pages.size() == 1 ? temp_->Path() + pages[0] : std::string();
}

std::string PluginTest::RunMenu(int line) {
  host_->MenuAnswers.push_back(line);
  EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE);
  return PagePath();
}

}  // namespace testsupport

// Pages open through a recorder registered in this prefix, never through
// whatever browser the machine has.
int main(int argc, char** argv) {
  // Run as a helper: hold the clipboard open until told to let go.
  if (argc == 2 && std::string(argv[1]) == "--hold-clipboard") {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "GalvoraTestClipboardHeld");
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "GalvoraTestClipboardRelease");
    // Opened for a window, as programs do; one open without a window would
    // not keep another out under Wine.
    HWND window = CreateWindowA("STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!ready || !release || !window || !OpenClipboard(window)) return 1;
    SetEvent(ready);
    WaitForSingleObject(release, 60000);
    CloseClipboard();
    return 0;
  }
  ::testing::InitGoogleTest(&argc, argv);
  // As in a host where another plugin was built with MinGW's shared
  // runtime: its libgcc is in the process before any copy of our DLL loads.
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) != "--preload-shared-runtime") continue;
    const std::string runtime = testsupport::BinDir() + GALVORA_SHARED_RUNTIME;
    if (!LoadLibraryA(runtime.c_str())) {
      std::fprintf(stderr, "cannot load %s\n", runtime.c_str());
      return 1;
    }
    testsupport::gSharedRuntime = true;
  }
  DeleteFileA(testsupport::OpenLogPath().c_str());
  if (!RegisterPageHandler(testsupport::BinDir() + "openrec.exe", testsupport::OpenLogPath())) {
    std::fprintf(stderr, "cannot register the page handler\n");
    return 1;
  }
  ReadRegionalFormats();
  return RUN_ALL_TESTS();
}
