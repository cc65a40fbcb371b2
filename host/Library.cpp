// The library's own start, for whichever interface loads it.
#include <windows.h>

#include "gallery/LocaleText.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  // The user's date and time formats are taken as they stand at load time.
  if (reason == DLL_PROCESS_ATTACH) ReadRegionalFormats();
  return TRUE;
}
