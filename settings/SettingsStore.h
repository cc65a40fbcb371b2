// Where the settings live: the registry below the 1.x host's plugin key, or
// the host's own settings store. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>

class TSettingsStore {
 public:
  virtual ~TSettingsStore() = default;
  // An integer or a text; whatever cannot be read is written back with
  // its default, which is then returned.
  virtual int32_t ReadInt(const char* name, int32_t defaultValue) = 0;
  virtual std::string ReadStr(const char* name, const char* defaultValue) = 0;
  virtual void WriteInt(const char* name, int32_t value) = 0;
  virtual void WriteStr(const char* name, const std::string& text) = 0;
};

// Reads all seven persistent settings into PluginConfig.
void LoadSettings(TSettingsStore& store);
// Stores all seven, in the record's order.
void StoreSettings(TSettingsStore& store);
