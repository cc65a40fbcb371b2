// The settings record against Wine's real registry.
#include <windows.h>

#include "platform/Win32Api.h"
#include "settings/PluginConfig.h"
#include "host/ansi/Registry.h"
#include "tests/win32/PluginTestSupport.h"

using namespace testsupport;

namespace {

class Settings : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    thumbnails_ = true;  // every setting as a first start finds it
  }
  void TearDown() override {
    Win32 = RealWin32Api();
    PluginTest::TearDown();
  }
  // The record as the linked plugin read it.
  static std::vector<int32_t> Numbers() {
    const TPluginConfig& c = PluginConfig;
    return {c.Template, c.Thumbnails, c.Blank, c.Cols, c.ColsTh, c.Width, c.Height};
  }
  void StoreAll(uint32_t value) {
    for (const char* name : {"Template", "Blank", "Cols", "ColsTh", "Width", "Height", "MakeThumbs", "ThumbCacheMB"})
      SetDword(SettingsKey(), name, value);
    SetValue(SettingsKey(), "BgColor", REG_SZ, std::string("abcdef", 7));
  }
};

int gWrites = 0;
LONG WINAPI CountingSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  ++gWrites;
  return RealWin32Api().RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI RefuseKey(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD) {
  return ERROR_ACCESS_DENIED;
}

}  // namespace

TEST_F(Settings, FirstStartWritesEveryDefault) {
  StartPlugin(/*linked=*/true);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{0, 0, 1, 0, 6, 120, 100}));
  EXPECT_EQ(PluginConfig.BgColor, "000000");
  struct {
    const char* name;
    uint32_t value;
  } ints[] = {{"Template", 0}, {"Blank", 1}, {"Cols", 0},          {"ColsTh", 6},
              {"Width", 120},  {"Height", 100}, {"MakeThumbs", 1}, {"ThumbCacheMB", 512}};
  for (const auto& v : ints) {
    TRegValue stored = ReadValue(SettingsKey(), v.name);
    EXPECT_TRUE(stored.Exists) << v.name;
    EXPECT_EQ(stored.Type, static_cast<DWORD>(REG_DWORD)) << v.name;
    EXPECT_EQ(stored.Data, Dword(v.value)) << v.name;
  }
  TRegValue bg = ReadValue(SettingsKey(), "BgColor");
  EXPECT_EQ(bg.Type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(bg.Data, std::string("000000", 7));
}

TEST_F(Settings, TheRealDllWritesTheSameDefaults) {
  StartPlugin();
  EXPECT_EQ(ReadValue(SettingsKey(), "ColsTh").Data, Dword(6));
  EXPECT_EQ(ReadValue(SettingsKey(), "BgColor").Data, std::string("000000", 7));
  // The dialog shows what the record holds.
  host_->Configure(0);
  ASSERT_EQ(host_->Dialogs.size(), 1u);
  const auto& items = host_->Dialogs[0].Items;
  EXPECT_STREQ(items[5].Data, "000000");
  EXPECT_STREQ(items[9].Data, "0");
  EXPECT_STREQ(items[12].Data, "6");
  EXPECT_STREQ(items[14].Data, "120");
  EXPECT_STREQ(items[16].Data, "100");
  EXPECT_EQ(items[1].Selected, 0);
  EXPECT_EQ(items[2].Selected, 1) << "thumbnails are made";
  EXPECT_EQ(items[6].Selected, 1);
}

TEST_F(Settings, StoredValuesAreReadAndOnlyAMissingOneIsWritten) {
  StoreAll(7);
  RegDeleteKeyValueA(HKEY_CURRENT_USER, SettingsKey().c_str(), "Width");
  gWrites = 0;
  Win32.RegSetValueExA = CountingSetValue;
  StartPlugin(/*linked=*/true);
  EXPECT_EQ(gWrites, 1);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{7, 0, 7, 7, 7, 120, 7}));
  EXPECT_EQ(PluginConfig.BgColor, "abcdef");
  EXPECT_EQ(ReadValue(SettingsKey(), "Width").Data, Dword(120));
}

TEST_F(Settings, FourDataBytesAreAnIntegerWhateverTheirType) {
  StoreAll(1);
  SetValue(SettingsKey(), "Cols", REG_SZ, std::string("120", 4));
  SetDword(SettingsKey(), "Template", 2);
  SetValue(SettingsKey(), "Height", REG_BINARY, std::string("\xff\xff\xff\xff", 4));
  StartPlugin(/*linked=*/true);
  EXPECT_EQ(PluginConfig.Cols, 3158577);
  EXPECT_EQ(PluginConfig.Template, 2);
  EXPECT_EQ(PluginConfig.Height, -1);
  EXPECT_EQ(ReadValue(SettingsKey(), "Cols").Type, static_cast<DWORD>(REG_SZ)) << "read, not rewritten";
}

TEST_F(Settings, IntegerOfAnyOtherLengthIsReplacedByItsDefault) {
  StoreAll(1);
  SetValue(SettingsKey(), "Cols", REG_SZ, std::string("1200", 5));
  SetValue(SettingsKey(), "ColsTh", REG_BINARY, std::string("\x09\x00", 2));
  SetValue(SettingsKey(), "Width", REG_BINARY, std::string());
  StartPlugin(/*linked=*/true);
  EXPECT_EQ(PluginConfig.Cols, 0);
  EXPECT_EQ(PluginConfig.ColsTh, 6);
  EXPECT_EQ(PluginConfig.Width, 120);
  for (auto [name, value] : {std::pair<const char*, uint32_t>{"Cols", 0}, {"ColsTh", 6}, {"Width", 120}}) {
    TRegValue v = ReadValue(SettingsKey(), name);
    EXPECT_EQ(v.Type, static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(v.Data, Dword(value)) << name;
  }
}

TEST_F(Settings, BackgroundColourIsAnyDataUpToItsFirstZero) {
  StoreAll(1);
  SetValue(SettingsKey(), "BgColor", REG_DWORD, std::string("FFF\0", 4));
  StartPlugin(/*linked=*/true);
  EXPECT_EQ(PluginConfig.BgColor, "FFF");
  EXPECT_EQ(ReadValue(SettingsKey(), "BgColor").Type, static_cast<DWORD>(REG_DWORD));
}

TEST_F(Settings, EmptyBackgroundColourIsKept) {
  StoreAll(1);
  SetValue(SettingsKey(), "BgColor", REG_SZ, std::string("\0", 1));
  StartPlugin(/*linked=*/true);
  EXPECT_EQ(PluginConfig.BgColor, "");
  EXPECT_EQ(ReadValue(SettingsKey(), "BgColor").Data, std::string("\0", 1));
}

TEST_F(Settings, BackgroundColourOf4096CharactersIsReadWholeAndLongerIsReplaced) {
  StoreAll(1);
  const std::string fits(4096, 'a');
  SetValue(SettingsKey(), "BgColor", REG_SZ, fits + '\0');
  StartPlugin(/*linked=*/true);
  EXPECT_EQ(PluginConfig.BgColor, fits);

  const std::string tooLong(4097, 'b');
  SetValue(SettingsKey(), "BgColor", REG_SZ, tooLong + '\0');
  LoadSettings();
  EXPECT_EQ(PluginConfig.BgColor, "000000");
  EXPECT_EQ(ReadValue(SettingsKey(), "BgColor").Data, std::string("000000", 7));
}

TEST_F(Settings, KeyThatCannotBeOpenedGivesTheDefaultsAndWritesNothing) {
  gWrites = 0;
  Win32.RegCreateKeyExW = RefuseKey;
  Win32.RegSetValueExA = CountingSetValue;
  StartPlugin(/*linked=*/true);
  EXPECT_EQ(Numbers(), (std::vector<int32_t>{0, 0, 1, 0, 6, 120, 100}));
  EXPECT_EQ(PluginConfig.BgColor, "000000");
  EXPECT_EQ(gWrites, 0);
  WriteRegInt("Cols", 5);
  WriteRegStr("BgColor", "x");
  EXPECT_EQ(gWrites, 0);
}

TEST_F(Settings, OverlongKeyPathIsNeverShortenedOntoAnotherKey) {
  // 255 characters in all are used; one more and no key is touched.
  const std::string base = root_ + "\\";
  const std::string fits = base + std::string(255 - base.size() - 8, 'k');
  const std::string tooLong = fits + "x";
  root_ = tooLong;
  StartPlugin(/*linked=*/true);
  EXPECT_EQ(PluginConfig.ColsTh, 6);
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (tooLong + "\\Galvora").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (fits + "\\Galvora").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (tooLong + "\\Galvor").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);

  root_ = fits;
  host_->RootKey = fits;
  host_->Start();
  EXPECT_EQ(ReadValue(fits + "\\Galvora", "ColsTh").Data, Dword(6));
  root_ = base.substr(0, base.size() - 1);
}
