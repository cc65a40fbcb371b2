// The four entry points the 1.x host calls. Each one forwards; the plugin's
// code raises no exception, so nothing that goes wrong inside a command can
// reach the host.
#include <windows.h>

#include "host/ansi/CommandMenu.h"
#include "host/ansi/FarUtil.h"
#include "host/ansi/Registry.h"

namespace {

// Library initialisation: the settings are read as soon as the host has
// handed over its table, since the registry root comes with it.
const bool kHookInstalled = (StartupHook = LoadSettings, true);

}  // namespace

extern "C" {

void WINAPI SetStartupInfo(const PluginStartupInfo* info) { StoreStartupInfo(info); }

void WINAPI GetPluginInfo(PluginInfo* info) { FillPluginInfo(info); }

HANDLE WINAPI OpenPlugin(int /*openFrom*/, INT_PTR /*item*/) {
  RunCommandMenu();
  return INVALID_HANDLE_VALUE;
}

int WINAPI Configure(int /*itemNumber*/) {
  RunConfigure();
  return 0;
}

}  // extern "C"
