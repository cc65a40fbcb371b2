// Dates and times in the user's regional formats. The formats are read when
// the library loads, so each case runs the host bench as a new process
// after the user's settings have been changed.
#include <windows.h>

#include <map>

#include "gallery/LocaleText.h"
#include "platform/Win32Api.h"
#include "tests/win32/PluginTestSupport.h"

using namespace testsupport;

namespace {

const char kInternational[] = "Control Panel\\International";

class RegionalFormats : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    for (const char* name : {"sShortDate", "sTimeFormat"}) saved_.emplace_back(name, ReadValue(kInternational, name));
    plugin_ = std::make_unique<TScratchFolder>();
    plugin_->Make("tn_head.htm", "");
    plugin_->Make("tn_pix.htm", "%DATE%|%TIME%\r\n");
    plugin_->Make("tn_new.htm", "");
    plugin_->Make("tn_end.htm", "");
    SetDword(SettingsKey(), "Template", 1);
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value.Exists)
        SetValue(kInternational, name, value.Type, value.Data);
      else
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kInternational, name.c_str());
    }
    plugin_.reset();
    PluginTest::TearDown();
  }

  // Sets the user's formats, runs the thumbnail command in a new host bench
  // on two files created at 05:37:40 and 19:05:09 UTC on 5 December 2026,
  // and returns the two lines "date|time".
  std::vector<std::string> Run(const std::string& shortDate, const std::string& timeFormat) {
    SetValue(kInternational, "sShortDate", REG_SZ, shortDate + '\0');
    SetValue(kInternational, "sTimeFormat", REG_SZ, timeFormat + '\0');
    for (const std::string& page : temp_->Pages()) DeleteFileA((temp_->Path() + page).c_str());
    // No backslash before a closing quote, which would escape it.
    std::string temp = temp_->Path();
    temp.pop_back();
    std::string command = "\"" + BinDir() + "hostemu.exe\" --plugin \"" + DllPath() + "\" --root \"" + root_ +
                          "\" --module \"" + plugin_->Path() + "Galvora.dll\" --temp \"" + temp +
                          "\" --curdir C:\\ --name a.gif --created 2026-12-05T05:37:40 --name b.gif --created "
                          "2026-12-05T19:05:09 --menu 1 --open";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    si.hStdError = si.hStdOutput;
    PROCESS_INFORMATION pi = {};
    EXPECT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi));
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(si.hStdOutput);
    const std::vector<std::string> pages = temp_->Pages();
    EXPECT_EQ(pages.size(), 1u);
    return pages.empty() ? std::vector<std::string>{} : Lines(Slurp(temp_->Path() + pages[0]));
  }

  std::vector<std::pair<std::string, TRegValue>> saved_;
  std::unique_ptr<TScratchFolder> plugin_;
};

using L = std::vector<std::string>;

}  // namespace

TEST_F(RegionalFormats, UnitedStatesTwelveHourClock) {
  EXPECT_EQ(Run("M/d/yyyy", "h:mm:ss tt"), (L{"12/5/2026|5:37:40 AM", "12/5/2026|7:05:09 PM"}));
}

TEST_F(RegionalFormats, TwentyFourHourClockWithAndWithoutLeadingZero) {
  EXPECT_EQ(Run("dd.MM.yyyy", "HH:mm:ss"), (L{"05.12.2026|05:37:40", "05.12.2026|19:05:09"}));
  EXPECT_EQ(Run("d.M.yy", "H:mm:ss"), (L{"5.12.26|5:37:40", "5.12.26|19:05:09"}));
}

TEST_F(RegionalFormats, DesignatorBeforeTheTimeAndAnotherSeparator) {
  EXPECT_EQ(Run("yyyy-MM-dd", "tt h.mm.ss"), (L{"2026-12-05|AM 5.37.40", "2026-12-05|PM 7.05.09"}));
}

TEST_F(RegionalFormats, DayBeforeMonth) {
  EXPECT_EQ(Run("dd/MM/yyyy", "HH:mm:ss"), (L{"05/12/2026|05:37:40", "05/12/2026|19:05:09"}));
}

namespace {

// A locale whose values the test chooses; an empty value is one it lacks.
std::map<LCTYPE, std::string> gLocale;
int WINAPI FakeLocaleInfo(LCID, LCTYPE type, LPWSTR data, int size) {
  auto it = gLocale.find(type);
  if (it == gLocale.end() || it->second.empty()) return 0;
  lstrcpynW(data, WideFrom(it->second, CP_ACP).c_str(), size);
  return static_cast<int>(it->second.size() + 1);
}

class LocaleText : public ::testing::Test {
 protected:
  void TearDown() override {
    Win32 = RealWin32Api();
    ReadRegionalFormats();
  }
  static std::string Date() { return FormatDate({2026, 12, 5, 7, 5, 9}); }
  static std::string Time(int hour) { return FormatTime({2026, 12, 5, hour, 5, 9}); }
  static void Read(std::map<LCTYPE, std::string> values) {
    gLocale = std::move(values);
    Win32.GetLocaleInfoW = FakeLocaleInfo;
    ReadRegionalFormats();
  }
};

}  // namespace

TEST_F(LocaleText, SlashInTheDatePictureStandsForTheDateSeparator) {
  Read({{LOCALE_SSHORTDATE, "dd/MM/yyyy"}, {LOCALE_SDATE, "."}});
  EXPECT_EQ(Date(), "05.12.2026");
  Read({{LOCALE_SSHORTDATE, "d/M 'of' yyyy/"}, {LOCALE_SDATE, "'d"}});
  EXPECT_EQ(Date(), "5'd12 of 2026'd") << "a separator is never taken for picture letters";
  Read({{LOCALE_SSHORTDATE, "yyyy'/'MM/dd"}, {LOCALE_SDATE, "-"}});
  EXPECT_EQ(Date(), "2026/12-05") << "a quoted slash is text";
}

TEST_F(LocaleText, LocaleWithoutValuesGetsTheFallbacks) {
  Read({});
  EXPECT_EQ(Date(), "12/5/26");
  EXPECT_EQ(Time(7), "7:05:09 am");
  EXPECT_EQ(Time(0), "12:05:09 am");
  EXPECT_EQ(Time(12), "12:05:09 pm");
  EXPECT_EQ(Time(23), "11:05:09 pm");
}

TEST_F(LocaleText, TimeFollowsClockLeadingZeroSeparatorAndDesignators) {
  Read({{LOCALE_ITIME, "1"}, {LOCALE_ITLZERO, "1"}, {LOCALE_STIME, "."}});
  EXPECT_EQ(Time(7), "07.05.09");
  EXPECT_EQ(Time(0), "00.05.09");
  Read({{LOCALE_ITIME, "0"}, {LOCALE_ITLZERO, "1"}, {LOCALE_S1159, "vorm."}, {LOCALE_S2359, "nachm."},
        {LOCALE_ITIMEMARKPOSN, "1"}});
  EXPECT_EQ(Time(7), "vorm. 07:05:09");
  EXPECT_EQ(Time(19), "nachm. 07:05:09");
}
