// The plugin as the users of the real host run it: names beyond ASCII in the
// user's own two code pages (the suite runs under a Western and a Russian
// locale), a temporary folder and a plugin folder named so, and another
// plugin's shared MinGW runtime in the process.
#include <windows.h>

#include "platform/Win32Api.h"
#include "tests/ImageBuilders.h"
#include "tests/win32/PluginTestSupport.h"
#include "utilities/Clipboard.h"

using namespace testsupport;

namespace {

using L = std::vector<std::string>;

std::string Bytes(const TBytes& b) { return std::string(b.begin(), b.end()); }

const char kHead[] =
    "<html><head><title>Galvora Far Plugin</title></head><body text=\"#FFFFFF\" bgcolor=\"#000000\" topmargin=0>";
const char kEnd[] = "</center></body></html>";

std::string Thumb(const std::string& path, const std::string& size, int w, int h) {
  const std::string u = "file://localhost/" + path;
  return "<a target=_blank Href=\"" + u + "\"><img src=\"" + u + "\" alt=\"" + u + " " + size + "\" width=\"" +
         std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" border=0></a>";
}

std::string Full(const std::string& path, int w, int h) {
  const std::string u = "file://localhost/" + path;
  return "<a target=_blank Href=\"" + u + "\"><img src=\"" + u + "\" alt=\"" + u + " " + std::to_string(w) + "x" +
         std::to_string(h) + "\" border=0 width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) +
         "\"></a>";
}

// A folder name and a file name beyond ASCII that both code pages of this
// user hold (ANSI text): Western names under a Western locale, Russian ones
// under a Russian locale.
bool UserNames(std::string& folder, std::string& file) {
  const std::pair<const wchar_t*, const wchar_t*> candidates[] = {
      {L"Stra\u00DFe", L"caf\u00E9"},
      {L"\u0444\u043E\u0442\u043E", L"\u0437\u0430\u043A\u0430\u0442"},
  };
  for (const auto& c : candidates) {
    bool oemFolder, oemFile, ansiFolder, ansiFile;
    NarrowFrom(c.first, CP_OEMCP, &oemFolder);
    NarrowFrom(c.second, CP_OEMCP, &oemFile);
    folder = NarrowFrom(c.first, CP_ACP, &ansiFolder);
    file = NarrowFrom(c.second, CP_ACP, &ansiFile);
    if (oemFolder && oemFile && ansiFolder && ansiFile) return true;
  }
  return false;
}

class UserNamesTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    if (!UserNames(folderName_, fileName_)) GTEST_SKIP() << "no test names for code pages " << GetOEMCP() << "/" << GetACP();
    scratch_ = std::make_unique<TScratchFolder>();
    folder_ = scratch_->Path() + folderName_ + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << "the test names a folder in ANSI";
  }
  void TearDown() override {
    Win32 = RealWin32Api();
    scratch_.reset();
    PluginTest::TearDown();
  }
  std::string folderName_, fileName_, folder_;
  std::unique_ptr<TScratchFolder> scratch_;
};

}  // namespace

TEST(UserNamesCodePages, AreThoseOfTheLocaleTheRunAskedFor) {
  char locale[64] = "";
  GetEnvironmentVariableA("GALVORA_WINE_LOCALE", locale, sizeof locale);
  const bool russian = std::string(locale).compare(0, 5, "ru_RU") == 0;
  EXPECT_EQ(GetOEMCP(), russian ? 866u : 437u);
  EXPECT_EQ(GetACP(), russian ? 1251u : 1252u);
}

TEST_F(UserNamesTest, FileInAFolderNamedSoIsSizedInBothViews) {
  WriteFile(folder_ + fileName_ + ".gif", Bytes(img::GifHeader(40, 30, 0)));
  WriteFile(folder_ + fileName_ + ".jpg", Bytes(img::JpegImage(480, 640)));
  const std::string gif = folder_ + fileName_ + ".gif", jpg = folder_ + fileName_ + ".jpg";
  StartPlugin();
  ASSERT_TRUE(host_->SelectFolder(folder_));
  EXPECT_EQ(Lines(Slurp(RunMenu(1))), (L{kHead, HomeLine(), Thumb(gif, "40x30", 120, 90), Thumb(jpg, "480x640", 75, 100), kEnd}));
  DeleteFileA(PagePath().c_str());
  EXPECT_EQ(Lines(Slurp(RunMenu(0))), (L{kHead, HomeLine(), Full(gif, 40, 30), Full(jpg, 480, 640), kEnd}));
}

TEST_F(UserNamesTest, TemplatesAreFoundInAPluginFolderNamedSo) {
  for (const char* view : {"tn_", "nr_"}) {
    WriteFile(folder_ + view + "head.htm", std::string("<") + view + "head>\n");
    WriteFile(folder_ + view + "pix.htm", "%NAME%|%WIDTH%x%HEIGHT%|%FULLNAME%\n");
    WriteFile(folder_ + view + "new.htm", "");
    WriteFile(folder_ + view + "end.htm", "<end>\n");
  }
  const std::string picture = scratch_->Make(fileName_ + ".png", Bytes(img::PngHeader(64, 48, 8, 2)));
  moduleName_ = folder_ + "Galvora.dll";
  SetDword(SettingsKey(), "Template", 1);
  StartPlugin();
  ASSERT_TRUE(host_->SelectFile(picture));
  host_->CurDir = AnsiToOem(scratch_->Path());
  for (int line : {1, 0}) {
    const std::string page = RunMenu(line);
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(Lines(Slurp(page)), (L{line ? "<tn_head>" : "<nr_head>", fileName_ + ".png|64x48|" + picture, "<end>"}));
    DeleteFileA(page.c_str());
  }
  EXPECT_EQ(host_->ShellOpens.size(), 2u) << "both pages were complete";
}

TEST_F(UserNamesTest, TemporaryFolderNamedSoGetsThePageOpenedAndCleanedUp) {
  SetEnvironmentVariableA("TMP", folder_.c_str());
  SetEnvironmentVariableA("TEMP", folder_.c_str());
  StartPlugin();
  host_->SelectName("none.jpg");
  host_->MenuAnswers = {1};
  EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE);
  ASSERT_EQ(host_->ShellOpens.size(), 1u);
  const std::string page = host_->ShellOpens[0];
  EXPECT_EQ(page.compare(0, folder_.size(), folder_), 0) << page;
  EXPECT_NE(GetFileAttributesA(page.c_str()), INVALID_FILE_ATTRIBUTES) << "the shell was given the page's true path";
  EXPECT_EQ(WaitForOpen(page).Verb, "open") << "the page was not opened";

  host_->MenuAnswers = {3};
  host_->OpenPlugin();
  EXPECT_EQ(GetFileAttributesA(page.c_str()), INVALID_FILE_ATTRIBUTES) << "the clean-up left the page";
}

TEST_F(UserNamesTest, NamesTheCodePagesLackAreFoundByTheirShortNamesAndWrittenAsReferences) {
  // Greek, which neither code page of either user has, and Cyrillic, which
  // the Western user's have not: the host hands over "?" or a best-fit
  // letter, and the 8.3 name that Wine gives such a file.
  const std::wstring folder = Wide(scratch_->Path());
  const std::wstring names[] = {L"\u03B1.jpg", L"\u0444\u043E\u0442\u043E.jpg"};
  for (const std::wstring& name : names) {
    HANDLE f = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string bytes = Bytes(img::JpegImage(64, 48));
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
  }
  StartPlugin();
  host_->CurDir = AnsiToOem(scratch_->Path());
  for (const std::wstring& name : names) ASSERT_TRUE(host_->SelectFile(folder + name));
  const bool cyrillicAnsi = GetACP() == 1251;
  const std::string alpha = scratch_->Path() + "&#945;.jpg";
  const std::string photo = scratch_->Path() + (cyrillicAnsi ? "\xF4\xEE\xF2\xEE.jpg" : "&#1092;&#1086;&#1090;&#1086;.jpg");
  EXPECT_EQ(Lines(Slurp(RunMenu(0))), (L{kHead, HomeLine(), Full(alpha, 64, 48), Full(photo, 64, 48), kEnd}));
  // The clipboard's Unicode text has the true names.
  host_->MenuAnswers = {2};
  host_->OpenPlugin();
  std::wstring unicode;
  ASSERT_TRUE(ClipboardUnicode(unicode));
  EXPECT_EQ(unicode, folder + names[0] + L"\r\n" + folder + names[1] + L"\r\n");
}

TEST_F(UserNamesTest, ClipboardHoldsThePathsInBothFormats) {
  StartPlugin();
  host_->CurDir = AnsiToOem(scratch_->Path() + folderName_);
  host_->SelectName(AnsiToOem(fileName_ + ".jpg"));
  host_->MenuAnswers = {2};
  host_->OpenPlugin();
  const std::string text = folder_ + fileName_ + ".jpg\r\n";
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE ansi = GetClipboardData(CF_TEXT);
  const std::string copied = ansi ? static_cast<const char*>(GlobalLock(ansi)) : "";
  if (ansi) GlobalUnlock(ansi);
  CloseClipboard();
  EXPECT_EQ(copied, text);
  std::wstring unicode;
  ASSERT_TRUE(ClipboardUnicode(unicode));
  EXPECT_EQ(unicode, Wide(text));
}

TEST_F(UserNamesTest, SettingsLiveUnderTheTrueNameOfTheHostsRoot) {
  root_ = root_ + "\\" + folderName_;
  StartPlugin();
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (Wide(root_) + L"\\Galvora").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD colsTh = 0, size = sizeof colsTh;
  EXPECT_EQ(RegQueryValueExA(key, "ColsTh", nullptr, nullptr, reinterpret_cast<BYTE*>(&colsTh), &size), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(colsTh, 6u);
}

namespace {

std::vector<UINT> gFormats;
HANDLE WINAPI RecordFormat(UINT format, HANDLE block) {
  gFormats.push_back(format);
  return RealWin32Api().SetClipboardData(format, block);
}
int gAllocations = 0;
HGLOBAL WINAPI OneBlockOnly(UINT flags, SIZE_T size) {
  return ++gAllocations > 1 ? nullptr : RealWin32Api().GlobalAlloc(flags, size);
}

}  // namespace

TEST_F(UserNamesTest, UnicodeTextIsGivenWithTheAnsiTextAndStandsAlone) {
  gFormats.clear();
  Win32.SetClipboardData = RecordFormat;
  const std::string text = folder_ + fileName_ + ".jpg\r\n";
  EXPECT_EQ(CopyToClipboard(Wide(text)), crCopied);
  EXPECT_EQ(gFormats, (std::vector<UINT>{CF_TEXT, CF_UNICODETEXT}));
  std::wstring unicode;
  ASSERT_TRUE(ClipboardUnicode(unicode));
  EXPECT_EQ(unicode, Wide(text));

  // Without a block for the ANSI text, the Unicode text alone: the
  // system makes the ANSI text from it.
  gFormats.clear();
  gAllocations = 0;
  Win32.GlobalAlloc = OneBlockOnly;
  EXPECT_EQ(CopyToClipboard(Wide(text)), crCopied);
  EXPECT_EQ(gFormats, (std::vector<UINT>{CF_UNICODETEXT}));
  ASSERT_TRUE(ClipboardUnicode(unicode));
  EXPECT_EQ(unicode, Wide(text));
}

namespace {

// Failure paths through the real DLL. In the run with another plugin's
// shared runtime loaded, a C++ throw inside the DLL would end the process;
// the pages must come out as the linked copy makes them, which that runtime
// cannot touch.
class SharedRuntime : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    pics_ = std::make_unique<TScratchFolder>();
  }
  void TearDown() override {
    Win32 = RealWin32Api();
    pics_.reset();
    PluginTest::TearDown();
  }
  // Runs a menu line on the pictures with the real DLL or the linked copy;
  // the page it made and whether the shell was asked to open it.
  std::pair<std::string, bool> Page(bool linked, int line) {
    StartPlugin(linked);
    EXPECT_TRUE(host_->SelectFolder(pics_->Path()));
    int opened = 0;
    if (linked) {
      gOpens = 0;
      Win32.ShellExecuteExW = CountOpen;
    }
    const std::string path = RunMenu(line);
    opened = linked ? gOpens : static_cast<int>(host_->ShellOpens.size());
    Win32 = RealWin32Api();
    const std::string text = Slurp(path);
    DeleteFileA(path.c_str());
    return {text, opened == 1};
  }
  static BOOL WINAPI CountOpen(SHELLEXECUTEINFOW*) {
    ++gOpens;
    return TRUE;
  }
  static int gOpens;
  std::unique_ptr<TScratchFolder> pics_;
};
int SharedRuntime::gOpens = 0;

}  // namespace

TEST_F(SharedRuntime, DamagedFilesOfEveryFormatMakeTheSamePage) {
  const std::pair<const char*, TBytes> images[] = {
      {"png", img::PngHeader(640, 480, 8, 6)},
      {"gif", img::GifHeader(320, 200, 0xF7)},
      {"bmp", img::BmpHeader(200, 100, 24)},
      {"pcx", img::PcxHeader(0, 0, 639, 479, 8, 3)},
      {"tif", img::TiffImage(false, 1024, 768, 8)},
      {"tiff", img::TiffImage(true, 1024, 768, 8)},
      {"jpg", img::JpegImage(1920, 1080)},
  };
  int files = 0;
  for (const auto& image : images) {
    for (size_t cut : {0, 1, 2, 3, 5, 9, 12, 17, 20, 23, 26, 30, 40, 60, 100, 150, 200}) {
      if (cut >= image.second.size()) continue;
      pics_->Make("cut" + std::to_string(cut) + "." + image.first, Bytes(image.second).substr(0, cut));
      ++files;
    }
  }
  // A directory or a segment that points beyond the end of the file.
  pics_->Make("far.tif", Bytes(img::TiffFile(false, {{256, 3, 9}}, 100000)).substr(0, 20));
  pics_->Make("far.jpg", Bytes(img::JpegSoi()) + Bytes(img::JpegSegment(0xE1, TBytes(100, 1))).substr(0, 40));
  // Text that starts with an empty line is read as PCX, short or long.
  pics_->Make("notes.txt", "\nshort");
  pics_->Make("readme.txt", "\n" + std::string(200, 'x'));
  files += 4;

  for (int line : {1, 0}) {
    const auto fromDll = Page(false, line), fromLinked = Page(true, line);
    EXPECT_EQ(Lines(fromDll.first).size(), files + 3u);
    EXPECT_EQ(fromDll.first, fromLinked.first) << "line " << line;
    EXPECT_TRUE(fromDll.second && fromLinked.second);
  }
}

TEST_F(SharedRuntime, MissingTemplateAndFailingWritesEndTheCommandWithAMessage) {
  TScratchFolder plugin;
  for (const char* part : {"head", "pix", "new"}) plugin.Make(std::string("tn_") + part + ".htm", "<x>\r\n");
  moduleName_ = plugin.Path() + "Galvora.dll";
  pics_->Make("a.gif", Bytes(img::GifHeader(10, 10, 0)));
  SetDword(SettingsKey(), "Template", 1);
  auto fromDll = Page(false, 1);
  EXPECT_EQ(fromDll, std::make_pair(std::string(), false)) << "no tn_end.htm: no page";
  EXPECT_EQ(host_->Boxes.size(), 1u);
  EXPECT_EQ(fromDll, Page(true, 1));

  SetDword(SettingsKey(), "Template", 0);
  moduleName_.clear();
  for (int i = 0; i < 600; ++i) pics_->Make("p" + std::to_string(i) + ".gif", Bytes(img::GifHeader(10, 10, 0)));
  for (int writes : {0, 1, 2}) {
    StartPlugin();
    ASSERT_TRUE(host_->SlowClock(0));  // the clock stands: no progress box, however slow the machine
    ASSERT_TRUE(host_->SelectFolder(pics_->Path()));
    ASSERT_TRUE(host_->FailWritesAfter(writes));
    EXPECT_EQ(RunMenu(1), "") << "no half-written page is kept";
    EXPECT_TRUE(host_->ShellOpens.empty()) << writes << " writes before the failure";
    EXPECT_EQ(host_->Boxes.size(), 1u) << "the failure is named";
    host_->FailWritesAfter(-1);
  }
  // The host lives on, and so does the plugin.
  StartPlugin();
  host_->SelectName("none.jpg");
  EXPECT_FALSE(RunMenu(1).empty());
  EXPECT_EQ(host_->ShellOpens.size(), 1u);
}

TEST(SharedRuntimeRun, HasTheOtherRuntimeLoadedWhenAskedFor) {
  if (!SharedRuntimeLoaded()) GTEST_SKIP() << "this run has no other runtime loaded";
  EXPECT_NE(GetModuleHandleA(GALVORA_SHARED_RUNTIME), nullptr);
}
