// Stands in for the browser: appends one tab-separated line per call to the
// log named by its first argument: the verb it was registered for, its
// working folder, then every further argument.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  char cwd[MAX_PATH * 4] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  std::string line = std::string(argv[2]) + "\t" + cwd;
  for (int i = 3; i < argc; ++i) line += std::string("\t") + argv[i];
  line += "\n";
  // Readers may look at the log meanwhile; another recorder, which would
  // write too, is waited for.
  for (int attempt = 0; attempt < 500; ++attempt) {
    HANDLE log = CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (log != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      CloseHandle(log);
      return 0;
    }
    Sleep(10);
  }
  return 1;
}
