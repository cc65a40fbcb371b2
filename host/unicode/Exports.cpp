// The entry points of the host's Unicode interface. A host that knows them
// loads the DLL natively and never through its 1.x wrapper. Each one
// forwards.
#include <windows.h>

#include "host/unicode/UnicodeHost.h"

extern "C" {

void WINAPI GetGlobalInfoW(far3::GlobalInfo* info) { unicode::FillGlobalInfo(info); }

void WINAPI SetStartupInfoW(const far3::PluginStartupInfo* info) { unicode::Start(info); }

void WINAPI GetPluginInfoW(far3::PluginInfo* info) { unicode::FillPluginInfo(info); }

HANDLE WINAPI OpenW(const far3::OpenInfo* info) { return reinterpret_cast<HANDLE>(unicode::Open(info)); }

intptr_t WINAPI ConfigureW(const far3::ConfigureInfo* /*info*/) { return unicode::Configure(); }

void WINAPI ExitFARW(const far3::ExitInfo* /*info*/) { unicode::Exit(); }

// A 2.x host drives any DLL with a Unicode export through its own, other
// table, unless this says that the plugin needs a later host: 3.0.2831.
DWORD WINAPI GetMinFarVersionW() { return 2831u << 16 | 3u << 8 | 0u; }

}  // extern "C"
