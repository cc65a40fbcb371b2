// Settings store: one key below the host's plugin root, one value per setting.
// Every operation opens (or creates) the key, touches one value, and closes
// the key again. None of them reports a failure to its caller.
#pragma once

#include <cstdint>
#include <string>

#include "settings/PluginConfig.h"

// Suffix of the settings key below the host's root.
constexpr const char* kSettingsSubKey = "\\Galvora";

// Reads an integer setting; whatever cannot be read is overwritten with the
// default, which is then returned. When the key itself can be neither opened
// nor created, the default is returned and nothing is written.
int32_t ReadRegInt(const char* name, int32_t defaultValue);

// The same for the text setting, read up to 4096 characters.
std::string ReadRegStr(const char* name, const char* defaultValue);

void WriteRegInt(const char* name, int32_t value);
void WriteRegStr(const char* name, const std::string& text);

// The startup hook of the 1.x interface: reads all seven persistent
// settings into PluginConfig from the registry.
void LoadSettings();

// The registry as the settings store of the 1.x interface. Its texts are
// in the ANSI code page there and UTF-8 here.
TSettingsStore& RegistryStore();

// Longest settings-key path that is used; a longer RootKey + kSettingsSubKey is
// treated as a key that cannot be opened.
constexpr size_t kMaxKeyPath = 255;
