// The clipboard and clean-up commands on Wine's real clipboard and file system.
#include <windows.h>

#include <algorithm>

#include "platform/Win32Api.h"
#include "tests/win32/PluginTestSupport.h"
#include "utilities/Clipboard.h"
#include "utilities/PageCleanup.h"

using namespace testsupport;

namespace {

// The clipboard's text, and the size of its block (-1 when it holds none).
std::pair<std::string, long> ClipboardText() {
  std::pair<std::string, long> r{"", -1};
  if (!OpenClipboard(nullptr)) return {"(cannot open)", -2};
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    r.second = static_cast<long>(GlobalSize(h));
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      r.first = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return r;
}

void PutOnClipboard(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
}

class Clipboard : public PluginTest {
 protected:
  void TearDown() override {
    Win32 = RealWin32Api();
    PluginTest::TearDown();
  }
  std::pair<std::string, long> Copy() {
    host_->MenuAnswers = {2};
    EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE);
    return ClipboardText();
  }
};

std::vector<HANDLE> gRefused;
int gFreed = 0;
HANDLE WINAPI RefuseData(UINT, HANDLE block) {
  gRefused.push_back(block);
  return nullptr;
}
HGLOBAL WINAPI CountFree(HGLOBAL block) {
  gFreed += std::count(gRefused.begin(), gRefused.end(), block) > 0;
  return RealWin32Api().GlobalFree(block);
}
HGLOBAL WINAPI NoMemory(UINT, SIZE_T) { return nullptr; }

}  // namespace

TEST_F(Clipboard, FullPathsOfTheSelectionEachWithCrLf) {
  StartPlugin();
  host_->CurDir = "C:\\Pics";
  host_->SelectName("a.jpg");
  host_->SelectName("b.jpg");
  EXPECT_EQ(Copy(), (std::pair<std::string, long>{"C:\\Pics\\a.jpg\r\nC:\\Pics\\b.jpg\r\n", 31}));
}

TEST_F(Clipboard, PathsAreJoinedAsThePageJobJoinsThem) {
  StartPlugin();
  host_->CurDir = "C:\\";
  host_->SelectName("x.png");
  host_->SelectName("D:\\Fotos\\b.gif");
  host_->SelectName("\x81" "ber.png");  // OEM u-umlaut
  EXPECT_EQ(Copy().first, "C:\\x.png\r\nD:\\Fotos\\b.gif\r\nC:\\\xFC" "ber.png\r\n");
}

TEST_F(Clipboard, OrderIsTheSelectionsWhateverThePanel) {
  StartPlugin();
  host_->PanelType = 2;  // not a file panel: the host's items are copied all the same
  host_->CurDir = "arc:";
  for (const char* n : {"z.jpg", "a.jpg", "m.jpg"}) host_->SelectName(n);
  EXPECT_EQ(Copy().first, "arc:\\z.jpg\r\narc:\\a.jpg\r\narc:\\m.jpg\r\n");
}

TEST_F(Clipboard, NoSelectionEmptiesTheClipboard) {
  PutOnClipboard("something the user copied");
  StartPlugin();
  EXPECT_EQ(Copy(), (std::pair<std::string, long>{"", -1}));
}

TEST_F(Clipboard, ClipboardHeldByAnotherProgramIsLeftAlone) {
  PutOnClipboard("kept");
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "GalvoraTestClipboardHeld");
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "GalvoraTestClipboardRelease");
  std::string command = "\"" + BinDir() + "galvora_plugin_tests.exe\" --hold-clipboard";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ASSERT_EQ(WaitForSingleObject(ready, 30000), WAIT_OBJECT_0);
  StartPlugin();
  host_->CurDir = "C:\\Pics";
  host_->SelectName("a.jpg");
  host_->MenuAnswers = {2};
  EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE);
  SetEvent(release);
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(ready);
  CloseHandle(release);
  EXPECT_EQ(ClipboardText().first, "kept");
}

TEST_F(Clipboard, RefusedBlocksAreFreedAndNoMemoryIsSaid) {
  PutOnClipboard("before");
  gRefused.clear();
  gFreed = 0;
  Win32.SetClipboardData = RefuseData;
  Win32.GlobalFree = CountFree;
  EXPECT_EQ(CopyToClipboard(L"C:\\a.jpg\r\n"), crRefused);
  EXPECT_EQ(gRefused.size(), 2u);
  EXPECT_EQ(gFreed, 2);
  EXPECT_EQ(ClipboardText().second, -1);

  // Without a block for it, a selection of any size says so and leaves
  // the clipboard empty.
  PutOnClipboard("before");
  Win32 = RealWin32Api();
  Win32.GlobalAlloc = NoMemory;
  StartPlugin(/*linked=*/true);
  host_->CurDir = "C:\\Pics";
  host_->SelectName("a.jpg");
  EXPECT_EQ(Copy().second, -1);
  ASSERT_EQ(host_->Boxes.size(), 1u);
  EXPECT_EQ(host_->Boxes[0].Lines.back(), "Not enough memory");
  Win32 = RealWin32Api();
  EXPECT_EQ(CopyToClipboard(L""), crCopied);
  EXPECT_EQ(CopyToClipboard(L"x"), crCopied);
  EXPECT_EQ(ClipboardText().first, "x");
}

namespace {

class Cleanup : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    StartPlugin();
  }
  void TearDown() override {
    Win32 = RealWin32Api();
    PluginTest::TearDown();
  }
  std::string Temp() const { return temp_->Path(); }
  void Make(const std::string& name, DWORD attributes = 0) {
    WriteFile(Temp() + name, "x");
    if (attributes) SetFileAttributesA((Temp() + name).c_str(), attributes);
  }
  void Folder(const std::string& name) { CreateDirectoryA((Temp() + name).c_str(), nullptr); }
  bool Exists(const std::string& name) const { return GetFileAttributesA((Temp() + name).c_str()) != INVALID_FILE_ATTRIBUTES; }
  void Clean() {
    host_->MenuAnswers = {3};
    EXPECT_EQ(host_->OpenPlugin(), INVALID_HANDLE_VALUE);
  }
};

}  // namespace

TEST_F(Cleanup, DeletesThePagesOfAnyCaseAndAttribute) {
  Make("galv46361234587.htm");
  Make("galv123.htm", FILE_ATTRIBUTE_READONLY);
  Make("galv456.htm", FILE_ATTRIBUTE_HIDDEN);
  Make("galv457.htm", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  Make("GALV789.HTM");
  Make("page.htm");
  Make("galv.txt");
  Clean();
  for (const char* gone : {"galv46361234587.htm", "galv123.htm", "galv456.htm", "galv457.htm", "GALV789.HTM"})
    EXPECT_FALSE(Exists(gone)) << gone;
  EXPECT_TRUE(Exists("page.htm"));
  EXPECT_TRUE(Exists("galv.txt"));
}

TEST_F(Cleanup, NothingMatchingLeavesEverything) {
  Make("notes.txt");
  Clean();
  EXPECT_TRUE(Exists("notes.txt"));
  EXPECT_TRUE(DeleteGeneratedPages(WideFrom(Temp(), CP_ACP)));
  EXPECT_FALSE(DeleteGeneratedPages(WideFrom(Temp() + "missing", CP_ACP)));
  EXPECT_FALSE(DeleteGeneratedPages(L""));
}

TEST_F(Cleanup, OnlyFilesNamedExactlyAsPagesGoAndFoldersAreNotEntered) {
  for (const char* n : {"galvanize.htm", "galv12.htm", "GALV7.HTM", "galv.htm", "galv12x.htm"}) Make(n);
  Folder("galv3.htm");
  Make("galv3.htm\\galv1.htm");
  Clean();
  for (const char* gone : {"galv12.htm", "GALV7.HTM"}) EXPECT_FALSE(Exists(gone)) << gone;
  for (const char* kept : {"galvanize.htm", "galv.htm", "galv12x.htm", "galv3.htm", "galv3.htm\\galv1.htm"})
    EXPECT_TRUE(Exists(kept)) << kept;
}

TEST_F(Cleanup, NamesMatchedOnlyThroughTheirShortNamesStay) {
  const char* kept[] = {"galvanize.html", "GALV5.HTML", "galv.htm.html", "galvx.htmx"};
  for (const char* n : kept) Make(n);
  Folder("galvanized.html");
  Make("galvanized.html\\galv3.htm");
  // The system's wildcard search does return these, by their 8.3 names.
  WIN32_FIND_DATAA d;
  int found = 0;
  HANDLE f = FindFirstFileA((Temp() + "galv*.htm").c_str(), &d);
  if (f != INVALID_HANDLE_VALUE) {
    do ++found;
    while (FindNextFileA(f, &d));
    FindClose(f);
  }
  EXPECT_GT(found, 0) << "the search itself matches through short names";
  Clean();
  for (const char* n : kept) EXPECT_TRUE(Exists(n)) << n;
  EXPECT_TRUE(Exists("galvanized.html\\galv3.htm"));
}

TEST_F(Cleanup, PageHeldOpenStaysWhileTheOthersGo) {
  for (const char* n : {"galv1.htm", "galv2.htm", "galv3.htm"}) Make(n);
  HANDLE held = CreateFileA((Temp() + "galv2.htm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteGeneratedPages(WideFrom(Temp(), CP_ACP)));
  CloseHandle(held);
  EXPECT_FALSE(Exists("galv1.htm"));
  EXPECT_TRUE(Exists("galv2.htm"));
  EXPECT_FALSE(Exists("galv3.htm"));
}
