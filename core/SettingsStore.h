// Where the settings live: the registry below the 1.x host's plugin key, or
// the host's own settings store. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The store, opened once for a whole load or a whole store of the
// settings; what was written is kept when the session ends.
class TSettingsSession {
 public:
  virtual ~TSettingsSession() = default;
  // An integer or a text, or the default when it cannot be read (the store
  // decides whether that default is written back).
  virtual int32_t ReadInt(const char* name, int32_t defaultValue) = 0;
  virtual std::string ReadStr(const char* name, const char* defaultValue) = 0;
  virtual void WriteInt(const char* name, int32_t value) = 0;
  virtual void WriteStr(const char* name, const std::string& text) = 0;
};

class TSettingsStore {
 public:
  virtual ~TSettingsStore() = default;
  virtual std::unique_ptr<TSettingsSession> Open() = 0;
};
