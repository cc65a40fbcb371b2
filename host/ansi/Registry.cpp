#include "host/ansi/Registry.h"

#include <cstring>

#include "host/ansi/FarUtil.h"
#include "platform/Unicode.h"
#include "platform/WidePath.h"
#include "platform/Win32Api.h"
#include "settings/PluginConfig.h"

namespace {

constexpr DWORD kTextBuffer = 4097;  // 4096 characters and the terminator

// The settings key, opened or created for one operation.
class TSettingsKey {
 public:
  TSettingsKey() {
    // The host gives its root in the OEM code page; the key is opened by its
    // true name, so that a user name beyond ASCII in it finds the host's key.
    std::string path = RootKey();
    path += kSettingsSubKey;
    const std::wstring widePath = WidePath(path, cpOem);
    // A path this long cannot name our key; a shortened one could name
    // someone else's. Treat it as a key that cannot be opened.
    if (widePath.empty() || widePath.size() > kMaxKeyPath) return;
    HKEY key = nullptr;
    if (Win32.RegCreateKeyExW(HKEY_CURRENT_USER, widePath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition_) == ERROR_SUCCESS)
      key_ = key;
  }
  ~TSettingsKey() {
    if (key_) Win32.RegCloseKey(key_);
  }
  TSettingsKey(const TSettingsKey&) = delete;
  TSettingsKey& operator=(const TSettingsKey&) = delete;

  bool IsOpen() const { return key_ != nullptr; }
  bool Existed() const { return disposition_ == REG_OPENED_EXISTING_KEY; }
  HKEY Handle() const { return key_; }

  void Set(const char* name, DWORD type, const void* data, DWORD size) const {
    Win32.RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size);
  }

 private:
  HKEY key_ = nullptr;
  DWORD disposition_ = 0;
};

}  // namespace

int32_t ReadRegInt(const char* name, int32_t defaultValue) {
  TSettingsKey key;
  if (!key.IsOpen()) return defaultValue;
  if (key.Existed()) {
    unsigned char data[4] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    // Only the size decides: four data bytes are an integer, whatever their
    // type. Fewer than four would leave part of it unread, so they count as
    // unreadable and the default replaces them.
    if (Win32.RegQueryValueExA(key.Handle(), name, nullptr, &type, data, &size) == ERROR_SUCCESS &&
        size == sizeof data) {
      uint32_t v = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
      return static_cast<int32_t>(v);
    }
  }
  key.Set(name, REG_DWORD, &defaultValue, sizeof defaultValue);
  return defaultValue;
}

std::string ReadRegStr(const char* name, const char* defaultValue) {
  TSettingsKey key;
  if (!key.IsOpen()) return defaultValue;
  if (key.Existed()) {
    std::string data(kTextBuffer, '\0');
    DWORD size = kTextBuffer;
    DWORD type = 0;
    if (Win32.RegQueryValueExA(key.Handle(), name, nullptr, &type,
                               reinterpret_cast<BYTE*>(&data[0]), &size) == ERROR_SUCCESS) {
      data.resize(size <= kTextBuffer ? size : kTextBuffer);
      size_t zero = data.find('\0');
      if (zero != std::string::npos) data.resize(zero);
      return data;
    }
  }
  key.Set(name, REG_SZ, defaultValue, static_cast<DWORD>(std::strlen(defaultValue) + 1));
  return defaultValue;
}

void WriteRegInt(const char* name, int32_t value) {
  TSettingsKey key;
  if (key.IsOpen()) key.Set(name, REG_DWORD, &value, sizeof value);
}

void WriteRegStr(const char* name, const std::string& text) {
  TSettingsKey key;
  if (key.IsOpen()) key.Set(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

namespace {

// The 1.x settings keep their documented form: each value opens the key
// for itself, and one that cannot be read gets its default written back.
class TRegistrySession final : public TSettingsSession {
 public:
  int32_t ReadInt(const char* name, int32_t defaultValue) override { return ReadRegInt(name, defaultValue); }
  std::string ReadStr(const char* name, const char* defaultValue) override {
    return Utf8Encode(WidePath(ReadRegStr(name, defaultValue), cpAnsi));
  }
  void WriteInt(const char* name, int32_t value) override { WriteRegInt(name, value); }
  void WriteStr(const char* name, const std::string& text) override {
    WriteRegStr(name, AnsiText(WideFromUtf8(text)));
  }
};

class TRegistryStore final : public TSettingsStore {
 public:
  std::unique_ptr<TSettingsSession> Open() override { return std::make_unique<TRegistrySession>(); }
};

}  // namespace

TSettingsStore& RegistryStore() {
  static TRegistryStore store;
  return store;
}

void LoadSettings() { LoadSettings(RegistryStore()); }
