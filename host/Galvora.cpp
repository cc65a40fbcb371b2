// The four entry points the host calls. Each one forwards, and nothing that
// goes wrong inside a command ever reaches the host.
#include <windows.h>

#include "gallery/LocaleText.h"
#include "host/CommandMenu.h"
#include "host/FarUtil.h"
#include "settings/ConfigDialog.h"
#include "settings/Registry.h"

namespace {

// Library initialisation: the settings are read as soon as the host has
// handed over its table, since the registry root comes with it.
const bool kHookInstalled = (StartupHook = LoadSettings, true);

}  // namespace

extern "C" {

void WINAPI SetStartupInfo(const PluginStartupInfo* info) {
  try {
    StoreStartupInfo(info);
  } catch (...) {
  }
}

void WINAPI GetPluginInfo(PluginInfo* info) {
  try {
    FillPluginInfo(info);
  } catch (...) {
  }
}

HANDLE WINAPI OpenPlugin(int /*openFrom*/, INT_PTR /*item*/) {
  try {
    RunCommandMenu();
  } catch (...) {
  }
  return INVALID_HANDLE_VALUE;
}

int WINAPI Configure(int /*itemNumber*/) {
  try {
    ConfigureSettings();
  } catch (...) {
  }
  return 0;
}

#if defined(GALVORA_DLL)
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  // The user's date and time formats are taken as they stand at load time.
  if (reason == DLL_PROCESS_ATTACH) {
    try {
      ReadRegionalFormats();
    } catch (...) {
    }
  }
  return TRUE;
}
#endif

}  // extern "C"
