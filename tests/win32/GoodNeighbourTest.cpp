// The page job as a guest in the host's process, through the real DLL: a
// progress box and Esc on long jobs, files that others hold or that live in
// the cloud, memory that runs out, and no temporary folder.
#include <windows.h>

#include "tests/ImageBuilders.h"
#include "tests/win32/PluginTestSupport.h"

using namespace testsupport;

namespace {

using L = std::vector<std::string>;

using img::Bytes;

class GoodNeighbour : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    pics_ = std::make_unique<TScratchFolder>();
  }
  void TearDown() override {
    pics_.reset();
    PluginTest::TearDown();
  }
  void Pictures(int count) {
    for (int i = 0; i < count; ++i) pics_->Make("p" + std::to_string(100 + i) + ".jpg", Bytes(img::JpegImage(64, 48)));
  }
  // Runs a gallery line on the pictures; the page made, or "".
  std::string Gallery(int line = 1) {
    EXPECT_TRUE(host_->SelectFolder(pics_->Path()));
    return RunMenu(line);
  }
  // Every file the temporary folder holds.
  L TempFiles() const {
    L names;
    WIN32_FIND_DATAA d;
    HANDLE f = FindFirstFileA((temp_->Path() + "*").c_str(), &d);
    if (f == INVALID_HANDLE_VALUE) return names;
    do
      if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(d.cFileName);
    while (FindNextFileA(f, &d));
    FindClose(f);
    return names;
  }
  std::unique_ptr<TScratchFolder> pics_;
};

}  // namespace

TEST_F(GoodNeighbour, ProgressBoxComesUpOnlyOnALongJob) {
  Pictures(30);
  StartPlugin();
  ASSERT_TRUE(host_->SlowClock(100));  // each look at the clock finds it 0.1 s later
  EXPECT_FALSE(Gallery().empty());
  // From half a second on, once per file here: the title, what it does,
  // how far it is, and the file, each line as wide as the others.
  ASSERT_EQ(host_->Boxes.size(), 26u);
  const TMessageCall& first = host_->Boxes[0];
  EXPECT_EQ(first.Flags, 0x10u);
  EXPECT_EQ(first.Buttons, 0);
  ASSERT_EQ(first.Lines.size(), 4u);
  EXPECT_EQ(first.Lines[0], "Galvora");
  EXPECT_EQ(first.Lines[1].substr(0, 15), "Reading images ");
  EXPECT_EQ(first.Lines[2].substr(0, 9), "5 of 30  ");
  EXPECT_EQ(first.Lines[3].substr(0, 9), "p104.jpg ");
  for (const TMessageCall& box : host_->Boxes)
    for (size_t i = 1; i < box.Lines.size(); ++i) EXPECT_EQ(box.Lines[i].size(), first.Lines[1].size());
  EXPECT_EQ(host_->Boxes.back().Lines[2].substr(0, 8), "30 of 30");
  EXPECT_EQ(host_->ScreensSaved, 1);
  EXPECT_EQ(host_->ScreensRestored, 1);

  // A short job shows nothing.
  StartPlugin();
  ASSERT_TRUE(host_->SlowClock(10));
  DeleteFileA(PagePath().c_str());
  host_->Selection.resize(3);
  EXPECT_FALSE(RunMenu(1).empty());
  EXPECT_TRUE(host_->Boxes.empty());
  EXPECT_EQ(host_->ScreensSaved, 0);
}

TEST_F(GoodNeighbour, EscStopsTheJobAndLeavesNothingBehind) {
  Pictures(12);
  for (int templates : {0, 1}) {
    if (templates) {
      for (const char* part : {"head", "pix", "new", "end"})
        WriteFile(BinDir() + "tn_" + std::string(part) + ".htm", std::string("<") + part + ">\r\n");
      SetDword(SettingsKey(), "Template", 1);
    }
    StartPlugin();
    ASSERT_TRUE(host_->SlowClock(100));
    ASSERT_TRUE(host_->PressEscAt(8));  // pressed while the eighth file is due
    EXPECT_EQ(Gallery(), "") << templates;
    EXPECT_TRUE(TempFiles().empty()) << templates;
    EXPECT_TRUE(host_->ShellOpens.empty()) << templates;
    // The progress box had come up, and the screen is as it was.
    ASSERT_EQ(host_->Boxes.size(), 3u) << templates;
    EXPECT_EQ(host_->Boxes.back().Lines[2].substr(0, 7), "7 of 12");
    EXPECT_EQ(host_->ScreensRestored, 1);
    host_->PressEscAt(-1);
  }
  for (const char* part : {"head", "pix", "new", "end"}) DeleteFileA((BinDir() + "tn_" + part + ".htm").c_str());
  // The next command runs as ever.
  SetDword(SettingsKey(), "Template", 0);
  StartPlugin();
  EXPECT_FALSE(Gallery().empty());
}

TEST_F(GoodNeighbour, FilesInTheCloudAreListedUnopenedAndHeldFilesAreRead) {
  Pictures(5);
  StartPlugin();
  ASSERT_TRUE(host_->SelectFolder(pics_->Path()));
  // Offline, recall on open, recall on data access: opening would download them.
  const DWORD remote[] = {0x1000, 0x40000, 0x400000};
  for (int i = 0; i < 3; ++i) host_->Selection[i].FindData.dwFileAttributes |= remote[i];
  // A viewer holds the fourth open, letting others read; something holds
  // the fifth with no sharing at all.
  HANDLE viewer = CreateFileA((pics_->Path() + "p103.jpg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  HANDLE locked = CreateFileA((pics_->Path() + "p104.jpg").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  const L page = Lines(Slurp(RunMenu(0)));
  CloseHandle(viewer);
  CloseHandle(locked);
  ASSERT_EQ(page.size(), 8u);
  for (int i = 0; i < 5; ++i)
    EXPECT_NE(page[2 + i].find(i == 3 ? "jpg 64x48\"" : "jpg 0x0\""), std::string::npos) << page[2 + i];
}

TEST_F(GoodNeighbour, EveryLargeBlockThatCannotBeHadEndsTheCommandWithAMessage) {
  Pictures(3);
  for (const char* part : {"head", "pix", "new", "end"})
    WriteFile(BinDir() + "tn_" + std::string(part) + ".htm", "<" + std::string(part) + " %NAME%>\r\n");
  for (int templates : {0, 1}) {
    SetDword(SettingsKey(), "Template", templates);
    StartPlugin();
    ASSERT_TRUE(host_->FailHeapAllocation(0));
    EXPECT_FALSE(Gallery().empty());
    DeleteFileA(PagePath().c_str());
    // The selection's items and names, the page's list of them and the page
    // buffer; the four templates and the two line buffers of a template page.
    const int blocks = host_->HeapAllocs();
    EXPECT_EQ(blocks, templates ? 10 : 4);
    for (int failing = 1; failing <= blocks; ++failing) {
      StartPlugin();
      ASSERT_TRUE(host_->FailHeapAllocation(failing));
      EXPECT_EQ(Gallery(), "") << templates << ", block " << failing;
      EXPECT_TRUE(TempFiles().empty()) << templates << ", block " << failing;
      EXPECT_TRUE(host_->ShellOpens.empty());
      ASSERT_EQ(host_->Boxes.size(), 1u);
      EXPECT_EQ(host_->Boxes[0].Lines, (L{"Galvora", "Not enough memory"}));
    }
  }
  for (const char* part : {"head", "pix", "new", "end"}) DeleteFileA((BinDir() + "tn_" + part + ".htm").c_str());
}

TEST_F(GoodNeighbour, NoTemporaryFolderMeansNoPageAndSaysWhy) {
  Pictures(1);
  const std::string tooLong = "C:\\" + std::string(1100, 't');
  SetEnvironmentVariableA("TMP", tooLong.c_str());
  SetEnvironmentVariableA("TEMP", tooLong.c_str());
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  TScratchFolder here;
  SetCurrentDirectoryA(here.Path().c_str());
  StartPlugin();
  EXPECT_TRUE(host_->SelectFolder(pics_->Path()));
  host_->MenuAnswers = {1};
  host_->OpenPlugin();
  SetCurrentDirectoryA(current);
  EXPECT_TRUE(here.Pages().empty()) << "a page in the host's current folder";
  EXPECT_TRUE(host_->ShellOpens.empty());
  ASSERT_EQ(host_->Boxes.size(), 1u);
  EXPECT_EQ(host_->Boxes[0].Lines[1], "No gallery page: the temporary folder cannot be found.");
}
