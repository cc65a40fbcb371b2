// Pages from the user's templates through the real DLL: the files beside
// the library, real probe values and file times, and the shipped sets.
#include <windows.h>

#include "platform/Win32Api.h"
#include "tests/ImageBuilders.h"
#include "tests/win32/PluginTestSupport.h"

using namespace testsupport;

namespace {

using img::Bytes;

// 5 December 2026, 05:37:40 UTC as a file time.
FILETIME DecemberFifth(WORD hour = 5, WORD minute = 37, WORD second = 40) {
  SYSTEMTIME st = {2026, 12, 0, 5, hour, minute, second, 0};
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  return ft;
}

using L = std::vector<std::string>;

class TemplatePage : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    plugin_ = std::make_unique<TScratchFolder>();
    pics_ = std::make_unique<TScratchFolder>();
    moduleName_ = plugin_->Path() + "Galvora.dll";
    SetDword(SettingsKey(), "Template", 1);
  }
  void TearDown() override {
    Win32 = RealWin32Api();
    pics_.reset();
    plugin_.reset();
    PluginTest::TearDown();
  }
  void Set(const std::string& view, const std::string& head, const std::string& pix, const std::string& nw,
           const std::string& end) {
    plugin_->Make(view + "_head.htm", head);
    plugin_->Make(view + "_pix.htm", pix);
    plugin_->Make(view + "_new.htm", nw);
    plugin_->Make(view + "_end.htm", end);
  }
  // Copies a shipped template set into the plugin folder.
  void Install(const std::string& set) {
    for (const char* view : {"tn_", "nr_"})
      for (const char* part : {"head", "pix", "new", "end"}) {
        const std::string name = std::string(view) + part + ".htm";
        ASSERT_TRUE(CopyFileA((SourceDir() + "templates\\" + set + "\\" + name).c_str(), (plugin_->Path() + name).c_str(), FALSE))
            << set << "\\" << name;
      }
  }
  std::string Pic(const std::string& name, const TBytes& bytes) { return pics_->Make(name, Bytes(bytes)); }
  void Select(const std::vector<std::string>& names) {
    host_->CurDir = pics_->Path();
    for (const std::string& n : names) ASSERT_TRUE(host_->SelectFile(pics_->Path() + n)) << n;
  }
  std::unique_ptr<TScratchFolder> plugin_, pics_;
};

int gShellCalls = 0;
BOOL WINAPI CountShell(SHELLEXECUTEINFOW*) {
  ++gShellCalls;
  return TRUE;
}

}  // namespace

TEST_F(TemplatePage, BuildsThePageFromTheTemplatesBesideTheLibrary) {
  Set("tn", "<head %COLS%>\n", "%NAME%|%WIDTH%x%HEIGHT%|%TNWIDTH%x%TNHEIGHT%|%SIZE%|%PATH%\n", "<br>\n", "<end>");
  Set("nr", "<full %COLS%>\r", "(%FULLNAME%)\r", "<nr-br>", "</full>\r");
  const std::string a = Pic("a.jpg", img::JpegImage(640, 480));
  Pic("b.png", img::PngHeader(480, 640, 8, 2));
  Pic("notes.txt", img::Text("hello"));
  StartPlugin();
  Select({"a.jpg", "b.png", "notes.txt"});
  const std::string size = std::to_string(img::JpegImage(640, 480).size());
  EXPECT_EQ(Lines(Slurp(RunMenu(1))),
            (L{"<head 6>", "a.jpg|640x480|120x90|" + size + "|" + pics_->Path(), "b.png|480x640|75x100|33|" + pics_->Path(),
               "notes.txt|0x0|120x100|5|" + pics_->Path(), "<end>"}));
  DeleteFileA(PagePath().c_str());
  EXPECT_EQ(Lines(Slurp(RunMenu(0))), (L{"<full 0>", "(" + a + ")", "(" + pics_->Path() + "b.png)",
                                         "(" + pics_->Path() + "notes.txt)", "</full>"}));
}

TEST_F(TemplatePage, FileDateAndTimeAreTheCreationTimeAsStored) {
  Set("tn", "", "%DATE%|%TIME%\n", "", "");
  Pic("a.gif", img::GifHeader(1, 1, 0));
  StartPlugin();
  host_->CurDir = pics_->Path();
  // The time comes from the host's record of the file. The test prefix runs
  // in a zone far from UTC; no conversion may happen.
  const FILETIME ft = DecemberFifth();
  host_->SelectName("a.gif", bench1::TFarFileTime{ft.dwLowDateTime, ft.dwHighDateTime});
  host_->SelectName("bad.gif", bench1::TFarFileTime{0, 0x80000000u});
  EXPECT_EQ(Lines(Slurp(RunMenu(1))), (L{"12/5/2026|5:37:40 AM", "|"}));
}

TEST_F(TemplatePage, CurrentDateAndTimeComeFromTheLocalClock) {
  Set("tn", "%CURDATE%|%CURTIME%\n", "", "", "");
  StartPlugin();
  host_->SelectName("none.jpg");
  SYSTEMTIME before, after;
  GetLocalTime(&before);
  L page = Lines(Slurp(RunMenu(1)));
  GetLocalTime(&after);
  ASSERT_EQ(page.size(), 1u);
  char date[64], time[64];
  GetDateFormatA(LOCALE_USER_DEFAULT, 0, &before, "M/d/yyyy", date, sizeof date);
  const int hour = before.wHour % 12 == 0 ? 12 : before.wHour % 12;
  snprintf(time, sizeof time, "%d:%02d:", hour, before.wMinute);
  EXPECT_EQ(page[0].substr(0, page[0].find('|')), date);
  if (before.wMinute == after.wMinute) {
    EXPECT_EQ(page[0].find(std::string("|") + time), page[0].find('|')) << page[0];
    EXPECT_EQ(page[0].substr(page[0].size() - 2), before.wHour < 12 ? "AM" : "PM");
  }
}

TEST_F(TemplatePage, MissingTemplateIsNamedAndLeavesNoPage) {
  gShellCalls = 0;
  Win32.ShellExecuteExW = CountShell;
  Set("tn", "<head>", "<pix>", "<br>", "<end>");
  Pic("a.gif", img::GifHeader(1, 1, 0));
  DeleteFileA((plugin_->Path() + "tn_new.htm").c_str());
  StartPlugin(/*linked=*/true);
  Select({"a.gif", "a.gif"});
  EXPECT_EQ(RunMenu(1), "") << "the half-written page is deleted";
  EXPECT_EQ(gShellCalls, 0);
  ASSERT_EQ(host_->Boxes.size(), 1u);
  EXPECT_EQ(host_->Boxes[0].Lines, (L{"Galvora", "Cannot read the template file", "tn_new.htm", "in the folder", plugin_->Path()}));
  EXPECT_EQ(host_->Boxes[0].Flags, 0x10001u) << "a warning with the host's OK button";

  // A template held open without sharing cannot be read either; one held
  // open by an editor that lets others read it can.
  WriteFile(plugin_->Path() + "tn_new.htm", "<br>");
  for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    HANDLE held = CreateFileA((plugin_->Path() + "tn_end.htm").c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    const std::string page = RunMenu(1);
    CloseHandle(held);
    EXPECT_EQ(page.empty(), share == 0);
    DeleteFileA(page.c_str());
  }
  EXPECT_EQ(gShellCalls, 1);
}

TEST_F(TemplatePage, MinimalSetReproducesTheBuiltInPage) {
  Install("minimal");
  Pic("a.jpg", img::JpegImage(640, 480));
  Pic("b.png", img::PngHeader(480, 640, 8, 2));
  Pic("c.gif", img::GifHeader(60, 40, 0));
  SetDword(SettingsKey(), "ColsTh", 2);
  SetDword(SettingsKey(), "Cols", 2);
  for (int line : {1, 0}) {
    SetDword(SettingsKey(), "Template", 1);
    StartPlugin();
    Select({"a.jpg", "b.png", "c.gif"});
    std::string fromTemplates = Slurp(RunMenu(line));
    DeleteFileA(PagePath().c_str());
    SetDword(SettingsKey(), "Template", 0);
    StartPlugin();
    Select({"a.jpg", "b.png", "c.gif"});
    std::string builtIn = Slurp(RunMenu(line));
    DeleteFileA(PagePath().c_str());
    // The built-in page writes its row break at the start of the next line;
    // a template can only give it a line of its own. Its home link opens
    // the user guide beside the DLL, which a template cannot name.
    for (std::string* page : {&fromTemplates, &builtIn}) {
      const size_t home = page->find("<center><a href=");
      page->erase(home, page->find("<br>", home) - home);
      for (size_t at; (at = page->find("\r\n")) != std::string::npos;) page->erase(at, 2);
    }
    EXPECT_EQ(fromTemplates, builtIn) << "line " << line;
  }
}

TEST_F(TemplatePage, ModernSetsWriteTheirCharsetAndFittedThumbnails) {
  for (const char* set : {"modern-1252", "modern-1251"}) {
    Install(set);
    Pic("a.jpg", img::JpegImage(640, 480));
    StartPlugin();
    Select({"a.jpg"});
    const std::string page = Slurp(RunMenu(1));
    DeleteFileA(PagePath().c_str());
    EXPECT_EQ(page.compare(0, 15, "<!DOCTYPE html>"), 0) << set;
    EXPECT_NE(page.find(std::string("<meta charset=\"windows-") + (set[7] == '1' && set[10] == '2' ? "1252" : "1251")),
              std::string::npos)
        << set;
    EXPECT_NE(page.find("width=\"120\" height=\"90\" loading=\"lazy\" alt=\"a.jpg\""), std::string::npos) << set;
    EXPECT_NE(page.find("640x480"), std::string::npos) << set;
    for (const char* field : {"%NAME%", "%FULLNAME%", "%WIDTH%", "%TNWIDTH%", "%DATE%", "%CURDATE%", "%SIZE%"})
      EXPECT_EQ(page.find(field), std::string::npos) << set << ": " << field << " was left";
    for (unsigned char c : page) EXPECT_LT(c, 128) << set << ": the set is plain ASCII";
  }
}
