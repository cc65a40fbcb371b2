// The Unicode interface's adapter: the commands' host over the table that
// the host hands to SetStartupInfoW, and the work of its entry points.
// Names arrive and leave in UTF-16; settings live in the host's store.
#pragma once

#include <cstdint>

#include "host/unicode/FarRecords.h"

namespace unicode {

extern const far3::TGuid kPluginGuid;

// The entry points' work, each for its export.
void FillGlobalInfo(far3::GlobalInfo* info);
void Start(const far3::PluginStartupInfo* info);
void FillPluginInfo(far3::PluginInfo* info);
// The command menu, or one command for a macro: 1 when a macro's command
// ran, 0 otherwise (the host takes any other value for a panel).
intptr_t Open(const far3::OpenInfo* info);
// The settings dialog: 1 when the settings were stored.
intptr_t Configure();
void Exit();

}  // namespace unicode
