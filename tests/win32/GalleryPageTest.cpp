// Both gallery commands through the real DLL: the page's name, its lines,
// and the shell's open; failures through the linked plugin's Win32 table.
#include <windows.h>

#include <algorithm>

#include "gallery/PathText.h"
#include "platform/Win32Api.h"
#include "tests/ImageBuilders.h"
#include "tests/win32/PluginTestSupport.h"

using namespace testsupport;

namespace {

using img::Bytes;

const char kHead[] =
    "<html><head><title>Galvora Far Plugin</title></head><body text=\"#FFFFFF\" bgcolor=\"#000000\" topmargin=0>";
const char kEnd[] = "</center></body></html>";

using L = std::vector<std::string>;

class GalleryPage : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    RemovePics();
    CreateDirectoryA("C:\\Pics", nullptr);
  }
  void TearDown() override {
    Win32 = RealWin32Api();
    RemovePics();
    PluginTest::TearDown();
  }
  static void RemovePics() {
    WIN32_FIND_DATAA d;
    HANDLE f = FindFirstFileA("C:\\Pics\\*", &d);
    if (f != INVALID_HANDLE_VALUE) {
      do {
        std::string p = std::string("C:\\Pics\\") + d.cFileName;
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(p.c_str()) : DeleteFileA(p.c_str());
      } while (FindNextFileA(f, &d));
      FindClose(f);
    }
    RemoveDirectoryA("C:\\Pics");
  }
  void Pic(const std::string& name, const TBytes& bytes) { WriteFile("C:\\Pics\\" + name, Bytes(bytes)); }
  void Setting(const char* name, uint32_t value) { SetDword(SettingsKey(), name, value); }
  // Shows C:\Pics and selects the named files, in this order.
  void Select(const std::vector<std::string>& names, const std::string& curDir = "C:\\Pics") {
    host_->CurDir = curDir;
    for (const std::string& n : names) ASSERT_TRUE(host_->SelectFile("C:\\Pics\\" + n)) << n;
  }
  L Page(int line) {
    const std::string page = RunMenu(line);
    EXPECT_FALSE(page.empty()) << "no page made";
    return page.empty() ? L{} : Lines(Slurp(page));
  }
  static std::string Thumb(const std::string& path, const std::string& size, int w, int h) {
    const std::string u = "file://localhost/" + path;
    return "<a target=_blank Href=\"" + u + "\"><img src=\"" + u + "\" alt=\"" + u + " " + size + "\" width=\"" +
           std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" border=0></a>";
  }
};

int gShellCalls = 0;
SHELLEXECUTEINFOW gShellInfo;
std::string gShellFile, gShellParameters, gShellDirectory;
BOOL WINAPI RecordShell(SHELLEXECUTEINFOW* info) {
  ++gShellCalls;
  gShellInfo = *info;
  auto ansi = [](const wchar_t* text) { return text ? NarrowFrom(text, CP_ACP) : std::string("(null)"); };
  gShellFile = ansi(info->lpFile);
  gShellParameters = ansi(info->lpParameters);
  gShellDirectory = ansi(info->lpDirectory);
  info->hProcess = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // some handle for the plugin to close
  return TRUE;
}

int gCloses = 0;
HANDLE gShellProcess = nullptr;
BOOL WINAPI CountClose(HANDLE h) {
  if (h == gShellProcess) ++gCloses;
  return RealWin32Api().CloseHandle(h);
}

}  // namespace

TEST_F(GalleryPage, ThumbnailViewWritesTheFittedEntry) {
  Pic("a.jpg", img::JpegImage(640, 480));
  StartPlugin();
  Select({"a.jpg"});
  EXPECT_EQ(Page(1),
            (L{kHead, HomeLine(),
               "<a target=_blank Href=\"file://localhost/C:\\Pics\\a.jpg\"><img src=\"file://localhost/C:\\Pics\\a.jpg\" "
               "alt=\"file://localhost/C:\\Pics\\a.jpg 640x480\" width=\"120\" height=\"90\" border=0></a>",
               kEnd}));
}

TEST_F(GalleryPage, FullSizeViewWritesTheImageAtItsOwnSize) {
  Pic("a.jpg", img::JpegImage(640, 480));
  Setting("Blank", 0);
  StartPlugin();
  Select({"a.jpg"});
  EXPECT_EQ(Page(0),
            (L{kHead, HomeLine(),
               "<a  Href=\"file://localhost/C:\\Pics\\a.jpg\"><img src=\"file://localhost/C:\\Pics\\a.jpg\" "
               "alt=\"file://localhost/C:\\Pics\\a.jpg 640x480\" border=0 width=\"640\" height=\"480\"></a>",
               kEnd}));
}

TEST_F(GalleryPage, UnrecognisedFileGetsTheBoxOrNoSize) {
  Pic("notes.txt", img::Text("just some notes"));
  StartPlugin();
  Select({"notes.txt"});
  EXPECT_EQ(Page(1)[2],
            "<a target=_blank Href=\"file://localhost/C:\\Pics\\notes.txt\"><img src=\"file://localhost/C:\\Pics\\notes.txt\" "
            "alt=\"file://localhost/C:\\Pics\\notes.txt\" width=\"120\" height=\"100\" border=0></a>");
  DeleteFileA(PagePath().c_str());
  host_.reset();
  Setting("Blank", 0);
  StartPlugin();
  Select({"notes.txt"});
  EXPECT_EQ(Page(0)[2],
            "<a  Href=\"file://localhost/C:\\Pics\\notes.txt\"><img src=\"file://localhost/C:\\Pics\\notes.txt\" "
            "alt=\"file://localhost/C:\\Pics\\notes.txt 0x0\" border=0 ></a>");
}

TEST_F(GalleryPage, ProbedHeightWithoutWidthStillGetsSizeAttributes) {
  Pic("tall.png", img::PngHeader(300, 0, 8, 2));
  Pic("wide.gif", img::GifHeader(0, 50, 0));
  StartPlugin();
  Select({"tall.png", "wide.gif"});
  L page = Page(0);
  EXPECT_NE(page[2].find("alt=\"file://localhost/C:\\Pics\\tall.png 300x0\" border=0 width=\"300\" height=\"0\"></a>"),
            std::string::npos);
  EXPECT_NE(page[3].find("0x50\" border=0 ></a>"), std::string::npos);
}

TEST_F(GalleryPage, BackgroundColourGetsAHashOnlyBeforeHexDigits) {
  struct {
    const char* stored;
    const char* written;
  } cases[] = {{"#336699", "#336699"}, {"336699", "#336699"}, {"fA0", "#fA0"}, {"red", "red"}, {"", ""},
               {"12345", "12345"}, {"12#34", "12#34"}, {"#fff\" onload=\"x", "#fff&quot; onload=&quot;x"},
               {"a'&b", "a&#39;&amp;b"}};
  for (const auto& c : cases) {
    SetValue(SettingsKey(), "BgColor", REG_SZ, std::string(c.stored) + '\0');
    StartPlugin();
  host_->SelectName("none.jpg");
    L page = Page(1);
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page[0], std::string("<html><head><title>Galvora Far Plugin</title></head><body text=\"#FFFFFF\" bgcolor=\"") +
                           c.written + "\" topmargin=0>");
    DeleteFileA(PagePath().c_str());
  }
}

TEST_F(GalleryPage, RowBreaksStandBeforeTheEntryThatStartsARow) {
  for (int i = 1; i <= 5; ++i) Pic("p" + std::to_string(i) + ".gif", img::GifHeader(100, 100, 0));
  const std::vector<std::string> names = {"p1.gif", "p2.gif", "p3.gif", "p4.gif", "p5.gif"};
  struct {
    int colsTh, cols, line;
    std::vector<int> breaksBefore;  // line numbers that start with <br>
  } cases[] = {
      {2, 0, 1, {4, 6}},  // before the third and the fifth entry
      {5, 0, 1, {7}},     // before the end line only
      {0, 0, 1, {}},
      {0, 2, 1, {}},      // Cols plays no part in the thumbnail view
      {2, 0, 0, {}},      // nor ColsTh in the full-size view
      {1, 3, 0, {5}},
  };
  for (const auto& c : cases) {
    Setting("ColsTh", c.colsTh);
    Setting("Cols", c.cols);
    StartPlugin();
    Select(names);
    L page = Page(c.line);
    ASSERT_EQ(page.size(), 8u);
    std::vector<int> breaks;
    for (int i = 0; i < 8; ++i)
      if (page[i].compare(0, 4, "<br>") == 0) breaks.push_back(i);
    EXPECT_EQ(breaks, c.breaksBefore) << "ColsTh " << c.colsTh << ", Cols " << c.cols << ", line " << c.line;
    EXPECT_EQ(page[7].substr(page[7].size() - std::string(kEnd).size()), kEnd);
    DeleteFileA(PagePath().c_str());
  }
}

TEST_F(GalleryPage, BoxWithAZeroSideIsUsedAsItIs) {
  Pic("a.jpg", img::JpegImage(640, 480));
  Setting("Width", 0);
  StartPlugin();
  Select({"a.jpg"});
  EXPECT_NE(Page(1)[2].find("alt=\"file://localhost/C:\\Pics\\a.jpg\" width=\"0\" height=\"100\" border=0></a>"),
            std::string::npos);
}

TEST_F(GalleryPage, NoPicturesSelectedSaysSoAndMakesNoPage) {
  CreateDirectoryA("C:\\Pics\\sub", nullptr);
  StartPlugin();
  // Nothing, only a folder, the cursor on "..".
  for (const char* name : {"", "sub", ".."}) {
    host_->Selection.clear();
    host_->Boxes.clear();
    host_->CurDir = "C:\\Pics";
    if (*name) {
      host_->SelectName(name);
      host_->Selection.back().FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    }
    EXPECT_EQ(RunMenu(1), "") << name;
    ASSERT_EQ(host_->Boxes.size(), 1u) << name;
    EXPECT_EQ(host_->Boxes[0].Lines, (L{"Galvora", "No picture files are selected."})) << name;
  }
  EXPECT_TRUE(host_->ShellOpens.empty());
}

TEST_F(GalleryPage, ItemPathJoinsThePanelFolderOnce) {
  Pic("x.png", img::PngHeader(10, 10, 8, 2));
  StartPlugin();
  host_->CurDir = "C:\\Pics\\";
  host_->SelectName("x.png");
  host_->SelectName("D:\\Fotos\\b.gif");
  L page = Page(1);
  EXPECT_EQ(page[2], Thumb("C:\\Pics\\x.png", "10x10", 100, 100));
  EXPECT_NE(page[3].find("Href=\"file://localhost/D:\\Fotos\\b.gif\""), std::string::npos);
}

TEST_F(GalleryPage, DriveRootIsNotDoubled) {
  WriteFile("C:\\galvora-root-test.png", Bytes(img::PngHeader(10, 20, 8, 2)));
  StartPlugin();
  host_->CurDir = "C:\\";
  host_->SelectName("galvora-root-test.png");
  L page = Page(1);
  DeleteFileA("C:\\galvora-root-test.png");
  EXPECT_EQ(page[2], Thumb("C:\\galvora-root-test.png", "10x20", 50, 100));
}

TEST_F(GalleryPage, OemNamesComeOutInTheAnsiCodePage) {
  Pic("\xFC.png", img::PngHeader(20, 10, 8, 2));  // u with diaeresis in code page 1252
  StartPlugin();
  host_->CurDir = "C:\\Pics";
  host_->SelectName("\x81.png");  // the same letter in code page 437
  EXPECT_EQ(Page(1)[2], Thumb("C:\\Pics\\\xFC.png", "20x10", 120, 60));
}

TEST_F(GalleryPage, SelectedFoldersAreLeftOutOfThePage) {
  CreateDirectoryA("C:\\Pics\\sub", nullptr);
  Pic("a.jpg", img::JpegImage(64, 48));
  StartPlugin();
  Select({"sub", "a.jpg", "sub"});
  for (int line : {0, 1}) {
    const L page = Page(line);
    ASSERT_EQ(page.size(), 4u);
    EXPECT_NE(page[2].find("a.jpg 64x48"), std::string::npos);
    DeleteFileA(PagePath().c_str());
  }
}

TEST_F(GalleryPage, HashAndPercentAreEncodedInAddressesOnly) {
  Pic("photo #1.jpg", img::JpegImage(640, 480));
  Pic("50%20off.jpg", img::JpegImage(640, 480));
  StartPlugin();
  Select({"photo #1.jpg", "50%20off.jpg"});
  L page = Page(1);
  EXPECT_EQ(page[2],
            "<a target=_blank Href=\"file://localhost/C:\\Pics\\photo %231.jpg\"><img src=\"file://localhost/C:\\Pics\\photo "
            "%231.jpg\" alt=\"file://localhost/C:\\Pics\\photo #1.jpg 640x480\" width=\"120\" height=\"90\" border=0></a>");
  EXPECT_NE(page[3].find("src=\"file://localhost/C:\\Pics\\50%2520off.jpg\""), std::string::npos);
  EXPECT_NE(page[3].find("alt=\"file://localhost/C:\\Pics\\50%20off.jpg 640x480\""), std::string::npos);
}

TEST_F(GalleryPage, MarkupInNamesFromPluginPanelsIsEscaped) {
  StartPlugin();
  host_->CurDir = "arc:\\x.zip";
  host_->SelectName("a\"><script>x</script>.jpg");
  const std::string line = Page(1)[2];
  EXPECT_EQ(line.find("<script>"), std::string::npos);
  EXPECT_NE(line.find("alt=\"file://localhost/arc:\\x.zip\\a&quot;&gt;&lt;script&gt;x&lt;/script&gt;.jpg\""),
            std::string::npos);
}

TEST_F(GalleryPage, AmpersandsAndApostrophesInNamesStayTheNamesTheyAre) {
  Pic("Tom & Jerry's a&copy.jpg", img::JpegImage(640, 480));
  StartPlugin();
  Select({"Tom & Jerry's a&copy.jpg"});
  const std::string u = "file://localhost/C:\\Pics\\Tom &amp; Jerry&#39;s a&amp;copy.jpg";
  EXPECT_EQ(Page(1)[2], "<a target=_blank Href=\"" + u + "\"><img src=\"" + u + "\" alt=\"" + u +
                            " 640x480\" width=\"120\" height=\"90\" border=0></a>");
}

TEST_F(GalleryPage, PageNameCarriesTheLocalTimeAndARandomNumber) {
  StartPlugin();
  host_->SelectName("none.jpg");
  SYSTEMTIME before, after, utc;
  GetLocalTime(&before);
  GetSystemTime(&utc);
  const std::string page = RunMenu(1);
  GetLocalTime(&after);
  ASSERT_FALSE(page.empty());
  const std::string name = page.substr(temp_->Path().size());
  ASSERT_EQ(temp_->Path() + name, page) << "made in the temporary folder";
  ASSERT_EQ(name.compare(0, 4, "galv"), 0);
  ASSERT_EQ(name.compare(name.size() - 4, 4, ".htm"), 0);
  const std::string digits = name.substr(4, name.size() - 8);
  ASSERT_TRUE(std::all_of(digits.begin(), digits.end(), ::isdigit)) << name;
  auto number = [](const SYSTEMTIME& t) {
    return PageTimeNumber(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  };
  const std::string t = digits.substr(0, 9);
  const int r = std::stoi(digits.substr(9));
  EXPECT_GE(std::stoll(t), number(before));
  EXPECT_LE(std::stoll(t), number(after));
  EXPECT_GE(r, 0);
  EXPECT_LT(r, 200);
  EXPECT_LE(digits.size(), 12u);
  if (before.wHour != utc.wHour || before.wMinute != utc.wMinute) {
    EXPECT_NE(std::stoll(t), number(utc)) << "the local clock, not UTC";
  }
}

TEST_F(GalleryPage, ShellOpensThePageWithTheDefaultVerbFromItsFolder) {
  StartPlugin();
  host_->SelectName("none.jpg");
  const std::string page = RunMenu(0);
  ASSERT_FALSE(page.empty());
  TOpenRecord opened = WaitForOpen(page);
  ASSERT_EQ(opened.Verb, "open") << "the page was not opened";
  EXPECT_EQ(opened.Arguments.size(), 1u) << "no parameters";
  std::string folder = temp_->Path();
  folder.pop_back();
  std::string cwd = opened.Directory;
  if (!cwd.empty() && cwd.back() == '\\') cwd.pop_back();
  EXPECT_EQ(lstrcmpiA(cwd.c_str(), folder.c_str()), 0) << cwd;
}

TEST_F(GalleryPage, ShellCallIsFilledExactlyAndItsProcessHandleClosed) {
  gShellCalls = gCloses = 0;
  Win32.ShellExecuteExW = RecordShell;
  Win32.CloseHandle = CountClose;
  StartPlugin(/*linked=*/true);
  host_->SelectName("none.jpg");
  struct TCapture {
    static BOOL WINAPI Shell(SHELLEXECUTEINFOW* info) {
      BOOL ok = RecordShell(info);
      gShellProcess = info->hProcess;
      return ok;
    }
  };
  Win32.ShellExecuteExW = TCapture::Shell;
  const std::string page = RunMenu(1);
  ASSERT_EQ(gShellCalls, 1);
  EXPECT_EQ(gShellInfo.cbSize, sizeof(SHELLEXECUTEINFOW));
  EXPECT_EQ(gShellInfo.fMask, 0x140u);
  EXPECT_EQ(gShellInfo.hwnd, nullptr);
  EXPECT_EQ(gShellInfo.lpVerb, nullptr);
  EXPECT_EQ(gShellFile, page);
  EXPECT_EQ(gShellParameters, "");
  EXPECT_EQ(gShellDirectory, temp_->Path());
  EXPECT_EQ(gShellInfo.nShow, SW_SHOWNORMAL);
  EXPECT_EQ(gCloses, 1);
}

TEST_F(GalleryPage, OtherPanelKindsMakeNothing) {
  gShellCalls = 0;
  Win32.ShellExecuteExW = RecordShell;
  StartPlugin(/*linked=*/true);
  for (int type : {1, 2, 3}) {
    host_->PanelType = type;
    EXPECT_EQ(RunMenu(1), "");
    EXPECT_TRUE(temp_->Pages().empty());
  }
  EXPECT_EQ(gShellCalls, 0);
}

TEST_F(GalleryPage, PageThatCannotBeCreatedIsNamedWithTheSystemsReason) {
  gShellCalls = 0;
  Win32.ShellExecuteExW = RecordShell;
  StartPlugin(/*linked=*/true);
  host_->SelectName("none.jpg");
  // No such folder, and a file where the folder should be.
  WriteFile(temp_->Path() + "taken", "x");
  for (const std::string& folder : {temp_->Path() + "gone\\", temp_->Path() + "taken\\"}) {
    SetEnvironmentVariableA("TMP", folder.c_str());
    SetEnvironmentVariableA("TEMP", folder.c_str());
    host_->Boxes.clear();
    RunMenu(1);
    ASSERT_EQ(host_->Boxes.size(), 1u) << folder;
    const L& lines = host_->Boxes[0].Lines;
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "Cannot write the gallery page");
    EXPECT_EQ(lines[2], folder + "galv...");
    EXPECT_FALSE(lines[3].empty()) << "the system's reason";
  }
  EXPECT_EQ(gShellCalls, 0);
}

namespace {

void WINAPI FixedLocalTime(LPSYSTEMTIME t) { *t = SYSTEMTIME{2026, 12, 3, 9, 10, 20, 30, 400}; }

int gWritesLeft = 0;
BOOL WINAPI FailingWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (gWritesLeft-- > 0) return RealWin32Api().WriteFile(file, data, size, written, overlapped);
  SetLastError(ERROR_DISK_FULL);
  *written = 0;
  return FALSE;
}

BOOL WINAPI ShortWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  // A full disk takes what fits and then nothing more.
  BOOL ok = RealWin32Api().WriteFile(file, data, size > 100 ? 100 : size, written, overlapped);
  Win32.WriteFile = FailingWrite;
  gWritesLeft = 0;
  return ok;
}

}  // namespace

TEST_F(GalleryPage, PagesOfTheSameMomentNeverOverwriteEachOther) {
  StartPlugin(/*linked=*/true);
  host_->SelectName("none.jpg");
  // Every name this moment's page could take, but the last, is taken.
  Win32.GetLocalTime = FixedLocalTime;
  const std::string stem = temp_->Path() + "galv" + std::to_string(PageTimeNumber(2026, 12, 9, 10, 20, 30, 400));
  const int first = RandomPageNumber(((10 * 60 + 20) * 60 + 30) * 1000 + 400);
  for (int r = first; r < first + 5; ++r) WriteFile(stem + std::to_string(r) + ".htm", "another page");
  RunMenu(1);
  EXPECT_EQ(temp_->Pages().size(), 6u);
  EXPECT_NE(Slurp(stem + std::to_string(first + 5) + ".htm").find("<html>"), std::string::npos);
  for (int r = first; r < first + 5; ++r) EXPECT_EQ(Slurp(stem + std::to_string(r) + ".htm"), "another page");
}


TEST_F(GalleryPage, WriteFailureLeavesNoPageAndSaysWhy) {
  for (int i = 0; i < 3; ++i) Pic("p" + std::to_string(i) + ".gif", img::GifHeader(10, 10, 0));
  gShellCalls = 0;
  Win32.ShellExecuteExW = RecordShell;
  StartPlugin(/*linked=*/true);
  host_->CurDir = "C:\\Pics";
  for (int i = 0; i < 1500; ++i) host_->SelectName("p" + std::to_string(i % 3) + ".gif");
  // Failing at the first write (a short page is written once, when it is
  // closed), at a later piece of a long page, and after a short write.
  for (int writes : {0, 1, 2, -1}) {
    host_->Boxes.clear();
    gWritesLeft = writes;
    Win32.WriteFile = writes < 0 ? ShortWrite : FailingWrite;
    EXPECT_EQ(RunMenu(1), "") << writes;
    EXPECT_TRUE(temp_->Pages().empty()) << writes;
    ASSERT_FALSE(host_->Boxes.empty()) << writes;
    const L& lines = host_->Boxes.back().Lines;
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "Cannot write the gallery page");
    EXPECT_EQ(lines[2].compare(0, temp_->Path().size() + 4, temp_->Path() + "galv"), 0) << lines[2];
    EXPECT_NE(lines[3].find("isk"), std::string::npos) << "the system's words for a full disk: " << lines[3];
  }
  EXPECT_EQ(gShellCalls, 0);
}
