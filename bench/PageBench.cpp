// Page benchmark under Wine: the real DLL makes a thumbnail page of N
// selected images through the host bench. Prints the time per item and how
// far the process's peak memory rose during the command, beyond what it held
// before (the host's own records of the selection included).
//
//   galvora-page-bench N [TEMPLATE_FOLDER]
//
// With a template folder the page comes from its templates, and the time
// that reading the image and row-break templates N times takes is printed
// beside it.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/hostemu/HostBench.h"

namespace {

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

double Seconds() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS m = {};
  m.cb = sizeof m;
  GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
  return m;
}

// Reads a file whole the way the template writer does.
size_t ReadWhole(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 0;
  LARGE_INTEGER size;
  GetFileSizeEx(f, &size);
  std::string content(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!content.empty()) ReadFile(f, &content[0], static_cast<DWORD>(content.size()), &got, nullptr);
  CloseHandle(f);
  return got;
}

void SetDword(const std::string& key, const char* name, DWORD value) {
  HKEY k;
  RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(k);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: galvora-page-bench N [TEMPLATE_FOLDER]\n");
    return 2;
  }
  const int count = std::atoi(argv[1]);
  const std::string templates = argc > 2 ? argv[2] : "";
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  const std::string bin = Folder(self);

  char tempBase[MAX_PATH];
  GetTempPathA(sizeof tempBase, tempBase);
  const std::string temp = std::string(tempBase) + "galvora-page-bench\\";
  CreateDirectoryA(temp.c_str(), nullptr);
  SetEnvironmentVariableA("TMP", temp.c_str());
  SetEnvironmentVariableA("TEMP", temp.c_str());
  RegisterPageHandler(bin + "openrec.exe", temp + "open.log");

  const std::string root = "Software\\GalvoraPageBench\\Plugins";
  RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
  SetDword(root + "\\Galvora", "Template", templates.empty() ? 0 : 1);

  THostBench host;
  if (!host.Load(bin + "Galvora.dll") || !host.LoadLanguage(bin + "GalvoraEng.lng")) {
    std::fprintf(stderr, "galvora-page-bench: %s\n", host.Error().c_str());
    return 1;
  }
  if (!templates.empty()) host.ModuleName = templates + "\\Galvora.dll";
  host.RootKey = root;
  host.Start();

  // The selection: the bundled samples over and over, as the host lists them.
  const std::string samples = bin + "..\\..\\..\\samples";
  THostBench lister;
  lister.SelectFolder(samples);
  host.CurDir = lister.CurDir;
  for (int i = 0; i < count; ++i) host.Selection.push_back(lister.Selection[i % lister.Selection.size()]);

  const PROCESS_MEMORY_COUNTERS before = Memory();
  host.MenuAnswers.push_back(1);
  const double t0 = Seconds();
  host.OpenPlugin();
  const double t1 = Seconds();
  const PROCESS_MEMORY_COUNTERS after = Memory();

  WIN32_FIND_DATAA page;
  HANDLE find = FindFirstFileA((temp + "galv*.htm").c_str(), &page);
  unsigned long long pageBytes = 0;
  if (find != INVALID_HANDLE_VALUE) {
    do {
      pageBytes = page.nFileSizeLow;
      DeleteFileA((temp + page.cFileName).c_str());
    } while (FindNextFileA(find, &page));
    FindClose(find);
  }
  const double growth = after.PeakWorkingSetSize > before.WorkingSetSize
                            ? static_cast<double>(after.PeakWorkingSetSize - before.WorkingSetSize) / 1024.0
                            : 0.0;
  std::printf("%-9s %6d items: %8.1f ms, %7.1f us per item, page %9llu bytes, peak memory +%6.0f KiB "
              "(selection %5.0f KiB)\n",
              templates.empty() ? "built-in" : "template", count, (t1 - t0) * 1000, (t1 - t0) * 1e6 / count,
              pageBytes, growth, count * sizeof(bench1::PluginPanelItem) / 1024.0);
  if (!templates.empty()) {
    const double r0 = Seconds();
    for (int i = 0; i < count; ++i) {
      ReadWhole(templates + "\\tn_pix.htm");
      ReadWhole(templates + "\\tn_new.htm");
    }
    const double r1 = Seconds();
    std::printf("          reading tn_pix.htm and tn_new.htm anew for each of the %d images, as the page no longer "
                "does, would add %.1f ms, %.0f%% of the page's time\n", count,
                (r1 - r0) * 1000, 100 * (r1 - r0) / (t1 - t0));
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
  return pageBytes > 0 ? 0 : 1;
}
