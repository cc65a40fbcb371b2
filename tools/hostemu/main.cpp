// hostemu: plays the host for one plugin and prints every call it sees.
//
//   hostemu --plugin Galvora.dll [--lang GalvoraEng.lng] [--root KEY]
//           [--module PATH] [--temp DIR]
//           [--panel-type N] [--plugin-panel] [--curdir DIR] [--folder DIR] [--select PATH] [--name NAME]
//           [--created YYYY-MM-DDTHH:MM:SS]
//           [--menu N]... [--dialog "RESULT|eINDEX=TEXT|tINDEX"]...
//           [--handler RECORDER LOG] [--preload DLL] [--fail-writes-after N]
//           [--slow-clock MS] [--esc-at N] [--fail-heap N]
//           [--info] [--open] [--configure] [--version-info]
//
// Paths and texts on the command line are ANSI; the bench hands them to the
// plugin in the OEM code page, as the host does.
// With --unicode the bench plays the host's current release, which loads
// the plugin through its Unicode interface: --plugin, --lang, --folder,
// --menu, --macro NAME, --set NAME=NUMBER (the host's settings store) and
// --handler apply, paths may be in any script, and
// the pages opened are printed in UTF-8.
// Actions (--info, --open, --configure) run in the order given; without any,
// --info then --open. --version-info prints the DLL's version resource. With --handler, .htm pages open through the recorder
// and every page the plugin opened is printed as "opened: PATH". Message and
// progress boxes are printed as "message:" lines, with the real time since
// the entry point was called; with --unicode a "timing:" line says how long
// after the command the page was opened.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tools/hostemu/HostBench.h"
#include "tools/hostemu/UnicodeBench.h"

using namespace bench1;

namespace {

std::string Quote(const char* s) { return s ? "\"" + std::string(s) + "\"" : "null"; }

std::string FolderOf(const std::string& path) {
  size_t at = path.find_last_of("\\/:");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

bool ParseDialog(const std::string& text, TDialogAnswer& answer) {
  size_t start = 0;
  bool first = true;
  while (start <= text.size()) {
    size_t bar = text.find('|', start);
    std::string part = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    if (first) {
      answer.Result = std::atoi(part.c_str());
      first = false;
    } else if (part.size() > 1 && part[0] == 'e') {
      size_t eq = part.find('=');
      if (eq == std::string::npos) return false;
      answer.Edits.emplace_back(std::atoi(part.substr(1, eq - 1).c_str()), part.substr(eq + 1));
    } else if (part.size() > 1 && part[0] == 't') {
      answer.Toggles.push_back(std::atoi(part.c_str() + 1));
    } else if (!part.empty()) {
      return false;
    }
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return true;
}

void PrintInfo(const PluginInfo& info) {
  std::printf("info: StructSize=%d Flags=%u DiskMenuStringsNumber=%d PluginMenuStringsNumber=%d "
              "PluginConfigStringsNumber=%d CommandPrefix=%s\n",
              info.StructSize, info.Flags, info.DiskMenuStringsNumber, info.PluginMenuStringsNumber,
              info.PluginConfigStringsNumber, Quote(info.CommandPrefix).c_str());
  for (int i = 0; i < info.PluginMenuStringsNumber && info.PluginMenuStrings; ++i)
    std::printf("info: plugins menu entry: %s\n", Quote(info.PluginMenuStrings[i]).c_str());
  for (int i = 0; i < info.PluginConfigStringsNumber && info.PluginConfigStrings; ++i)
    std::printf("info: configuration menu entry: %s\n", Quote(info.PluginConfigStrings[i]).c_str());
}

// The strings of the DLL's version resource, as the file's properties show them.
void PrintVersionInfo(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  std::vector<char> data(size);
  if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, data.data())) {
    std::printf("version: none\n");
    return;
  }
  for (const char* name : {"ProductName", "FileVersion", "ProductVersion", "FileDescription"}) {
    char* value = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value)
      std::printf("version: %s=%s\n", name, value);
  }
}

void PrintCalls(THostBench& host, size_t& menus, size_t& dialogs, size_t& controls, size_t& boxes) {
  for (; boxes < host.Boxes.size(); ++boxes) {
    const TMessageCall& m = host.Boxes[boxes];
    std::printf("message: flags=0x%x buttons=%d at=%lums", m.Flags, m.Buttons, static_cast<unsigned long>(m.AtMs));
    for (const std::string& line : m.Lines) std::printf(" | %s", line.c_str());
    std::printf("\n");
  }
  for (; menus < host.Menus.size(); ++menus) {
    const TMenuCall& m = host.Menus[menus];
    std::printf("menu: title=\"%s\" flags=%u x=%d y=%d maxheight=%d\n", m.Title.c_str(), m.Flags, m.X, m.Y,
                m.MaxHeight);
    for (size_t i = 0; i < m.Items.size(); ++i)
      std::printf("menu:   %zu \"%s\"%s\n", i + 1, m.Items[i].Text, m.Items[i].Selected ? " (highlighted)" : "");
  }
  for (; dialogs < host.Dialogs.size(); ++dialogs) {
    const TDialogCall& d = host.Dialogs[dialogs];
    std::printf("dialog: %dx%d, %zu items, closed with %d\n", d.X2, d.Y2, d.Items.size(), d.Result);
    for (size_t i = 0; i < d.Items.size(); ++i) {
      const FarDialogItem& it = d.Items[i];
      // A label that the host cuts to its columns is marked with what it shows.
      const std::string shown = ShownText(it);
      const std::string note =
          shown.size() < strnlen(it.Data, sizeof it.Data) ? " clipped to \"" + shown + "\"" : std::string();
      std::printf("dialog:   %2zu type=%d x1=%d y1=%d x2=%d y2=%d focus=%d selected=%d flags=0x%x default=%d \"%s\"%s\n",
                  i, it.Type, it.X1, it.Y1, it.X2, it.Y2, it.Focus, static_cast<int>(it.Selected), it.Flags, it.DefaultButton,
                  it.Data, note.c_str());
    }
  }
  for (; controls < host.Controls.size(); ++controls)
    std::printf("control: command=%d\n", host.Controls[controls].Command);
}

// The Unicode interface: the arguments as the wide command line has them.
int RunUnicode() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  TUnicodeBench bench;
  std::wstring plugin, lang, recorder, log;
  std::vector<std::wstring> macros;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    auto next = [&]() { return i + 1 < argc ? std::wstring(argv[++i]) : std::wstring(); };
    if (a == L"--plugin") plugin = next();
    else if (a == L"--lang") lang = next();
    else if (a == L"--menu") bench.MenuAnswers.push_back(_wtoi(next().c_str()));
    else if (a == L"--macro") macros.push_back(next());
    else if (a == L"--set") {
      // A number in the host's settings store before the plugin starts.
      const std::wstring setting = next();
      const size_t eq = setting.find(L'=');
      if (eq != std::wstring::npos) bench.Numbers[setting.substr(0, eq)] = _wtoi(setting.c_str() + eq + 1);
    }
    else if (a == L"--handler") { recorder = next(); log = next(); }
    else if (a == L"--folder") {
      std::wstring folder = next();
      if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
      bench.Folder = folder;
      WIN32_FIND_DATAW data;
      HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
      std::vector<std::wstring> names;
      if (find != INVALID_HANDLE_VALUE) {
        do
          if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
        while (FindNextFileW(find, &data));
        FindClose(find);
      }
      std::sort(names.begin(), names.end());
      for (const std::wstring& n : names) bench.SelectFile(folder + L"\\" + n);
    }
  }
  LocalFree(argv);
  const std::string narrowLog = NarrowFrom(log, CP_ACP);
  if (!recorder.empty() && !RegisterPageHandler(NarrowFrom(recorder, CP_ACP), narrowLog)) return 2;
  if (!bench.Load(plugin)) {
    std::fprintf(stderr, "hostemu: %s\n", bench.Error().c_str());
    return 1;
  }
  if (lang.empty()) lang = plugin.substr(0, plugin.find_last_of(L'\\') + 1) + L"GalvoraEng.lng";
  bench.LoadLanguage(lang);
  bench.Start();
  const size_t opened = log.empty() ? 0 : ReadOpenRecords(narrowLog).size();
  int runs = 0;
  for (const std::wstring& m : macros) {
    bench3::FarMacroValue value{};
    value.Type = 2;
    value.String = m.c_str();
    std::printf("macro %s: %s\n", NarrowFrom(m, CP_UTF8).c_str(), bench.OpenFromMacro({value}) ? "ran" : "refused");
    ++runs;
  }
  LARGE_INTEGER command;
  QueryPerformanceCounter(&command);
  if (!bench.MenuAnswers.empty() || runs == 0) bench.OpenFromMenu();
  const double openedAfter = MillisecondsToFirstOpen(command.QuadPart);
  if (openedAfter >= 0) std::printf("timing: the page was opened %.0f ms after the command\n", openedAfter);
  for (const auto& box : bench.Boxes) {
    std::printf("message:");
    for (const std::wstring& line : box) std::printf(" | %s", NarrowFrom(line, CP_UTF8).c_str());
    std::printf("\n");
  }
  std::fflush(stdout);
  if (!log.empty()) {
    if (!WaitForPageHandlers(120000)) std::printf("handler: still running after 120 s\n");
    for (const std::string& trouble : ShellTrouble()) std::printf("shell: %s\n", trouble.c_str());
    const std::vector<TOpenRecord> records = ReadOpenRecords(narrowLog);
    for (size_t i = opened; i < records.size(); ++i)
      if (!records[i].Arguments.empty())
        std::printf("opened: %s\n", NarrowFrom(WideFrom(records[i].Arguments[0], CP_ACP), CP_UTF8).c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "--unicode") return RunUnicode();
  THostBench host;
  std::string plugin, lang, recorder, log, temp, module;
  int failWritesAfter = -1, escAt = -1, failHeap = 0;
  DWORD clockStep = 0;
  std::vector<std::string> actions;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "hostemu: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--plugin") plugin = next();
    else if (a == "--lang") lang = next();
    else if (a == "--root") host.RootKey = AnsiToOem(next());
    else if (a == "--module") module = next();
    else if (a == "--temp") temp = next();
    else if (a == "--panel-type") host.PanelType = std::atoi(next().c_str());
    else if (a == "--plugin-panel") host.PanelPlugin = 1;
    else if (a == "--curdir") host.CurDir = AnsiToOem(next());
    else if (a == "--folder") {
      std::string f = next();
      if (!host.SelectFolder(f)) { std::fprintf(stderr, "hostemu: cannot list %s\n", f.c_str()); return 2; }
    } else if (a == "--select") {
      std::string f = next();
      if (!host.SelectFile(f)) { std::fprintf(stderr, "hostemu: no file %s\n", f.c_str()); return 2; }
    } else if (a == "--name") host.SelectName(next());
    else if (a == "--created") {
      // The creation time the host reports for the last selected item (UTC).
      SYSTEMTIME st = {};
      if (host.Selection.empty() || std::sscanf(next().c_str(), "%hu-%hu-%huT%hu:%hu:%hu", &st.wYear, &st.wMonth,
                                                &st.wDay, &st.wHour, &st.wMinute, &st.wSecond) != 6) {
        std::fprintf(stderr, "hostemu: --created YYYY-MM-DDTHH:MM:SS follows a selected item\n");
        return 2;
      }
      FILETIME ft;
      SystemTimeToFileTime(&st, &ft);
      host.Selection.back().FindData.ftCreationTime = {ft.dwLowDateTime, ft.dwHighDateTime};
    }
    else if (a == "--menu") host.MenuAnswers.push_back(std::atoi(next().c_str()));
    else if (a == "--dialog") {
      TDialogAnswer answer;
      if (!ParseDialog(next(), answer)) { std::fprintf(stderr, "hostemu: bad --dialog\n"); return 2; }
      host.DialogAnswers.push_back(answer);
    } else if (a == "--handler") { recorder = next(); log = next(); }
    else if (a == "--fail-writes-after") failWritesAfter = std::atoi(next().c_str());
    else if (a == "--slow-clock") clockStep = static_cast<DWORD>(std::atoi(next().c_str()));
    else if (a == "--esc-at") escAt = std::atoi(next().c_str());
    else if (a == "--fail-heap") failHeap = std::atoi(next().c_str());
    else if (a == "--preload") {
      // Another plugin's DLL, loaded into the process before this plugin.
      std::string dll = next();
      if (!LoadLibraryA(dll.c_str())) { std::fprintf(stderr, "hostemu: cannot load %s\n", dll.c_str()); return 2; }
    }
    else if (a == "--info" || a == "--open" || a == "--configure" || a == "--version-info") actions.push_back(a);
    else { std::fprintf(stderr, "hostemu: unknown option %s\n", a.c_str()); return 2; }
  }
  if (plugin.empty()) {
    std::fprintf(stderr, "usage: hostemu --plugin DLL [options]; see the source for the list\n");
    return 2;
  }
  if (actions.empty()) actions = {"--info", "--open"};
  if (!temp.empty()) {
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetEnvironmentVariableA("TEMP", temp.c_str());
  }
  if (!recorder.empty() && !RegisterPageHandler(recorder, log)) {
    std::fprintf(stderr, "hostemu: cannot register the page handler\n");
    return 2;
  }

  if (!host.Load(plugin)) {
    std::fprintf(stderr, "hostemu: %s\n", host.Error().c_str());
    return 1;
  }
  if (failWritesAfter >= 0 && !host.FailWritesAfter(failWritesAfter)) {
    std::fprintf(stderr, "hostemu: the plugin imports no WriteFile\n");
    return 1;
  }
  if ((clockStep && !host.SlowClock(clockStep)) || (escAt > 0 && !host.PressEscAt(escAt)) ||
      (failHeap > 0 && !host.FailHeapAllocation(failHeap))) {
    std::fprintf(stderr, "hostemu: the plugin does not import what --slow-clock, --esc-at or --fail-heap replace\n");
    return 1;
  }
  // The language file lies beside the DLL, wherever ModuleName is made to point.
  if (lang.empty()) lang = FolderOf(plugin) + "GalvoraEng.lng";
  if (!module.empty()) host.ModuleName = AnsiToOem(module);
  if (!host.LoadLanguage(lang)) {
    std::fprintf(stderr, "hostemu: cannot read language file %s\n", lang.c_str());
    return 1;
  }
  std::printf("loaded: %s (%zu messages)\n", plugin.c_str(), host.Messages.size());
  host.Start();

  size_t menus = 0, dialogs = 0, controls = 0, boxes = 0;
  size_t opened = log.empty() ? 0 : ReadOpenRecords(log).size();
  for (const std::string& a : actions) {
    if (a == "--version-info") {
      PrintVersionInfo(plugin);
    } else if (a == "--info") {
      PrintInfo(host.GetPluginInfo());
    } else if (a == "--open") {
      HANDLE result = host.OpenPlugin();
      PrintCalls(host, menus, dialogs, controls, boxes);
      std::printf("OpenPlugin returned %s\n", result == INVALID_HANDLE_VALUE ? "INVALID_HANDLE_VALUE" : "a handle");
    } else {
      int result = host.Configure(0);
      PrintCalls(host, menus, dialogs, controls, boxes);
      std::printf("Configure returned %d\n", result);
    }
  }
  std::fflush(stdout);
  if (!log.empty()) {
    // The shell starts the handler on its own: the bench waits for it to end.
    if (!WaitForPageHandlers(120000)) std::printf("handler: still running after 120 s\n");
    for (const std::string& trouble : ShellTrouble()) std::printf("shell: %s\n", trouble.c_str());
    std::vector<TOpenRecord> records = ReadOpenRecords(log);
    for (size_t i = opened; i < records.size(); ++i)
      std::printf("opened: %s\n", records[i].Arguments.empty() ? "" : records[i].Arguments[0].c_str());
  }
  return 0;
}
