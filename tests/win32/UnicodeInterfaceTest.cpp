// The plugin as the host's current release loads it: through its Unicode
// interface, with the bench's own declarations of the host's records.
#include <windows.h>

#include <cstring>

#include "tests/ImageBuilders.h"
#include "tests/win32/PluginTestSupport.h"
#include "tools/hostemu/UnicodeBench.h"

using namespace testsupport;

namespace {

using L = std::vector<std::string>;

const char kSettingsKey1x[] = "Software\\Far Manager\\Plugins\\Galvora";

std::string Utf8(const std::wstring& text) { return NarrowFrom(text, CP_UTF8); }

class UnicodeInterface : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    DeleteKeyTree(kSettingsKey1x);
    pics_ = std::make_unique<TScratchFolder>();
  }
  void TearDown() override {
    bench_.reset();
    pics_.reset();
    DeleteKeyTree(kSettingsKey1x);
    PluginTest::TearDown();
  }
  // Loads the DLL into a new bench and starts it with a record of `size`
  // bytes (0: the whole record).
  void Start(size_t size = 0) {
    bench_ = std::make_unique<TUnicodeBench>();
    ASSERT_TRUE(bench_->Load(Wide(DllPath()))) << bench_->Error();
    ASSERT_TRUE(bench_->LoadLanguage(Wide(BinDir() + "GalvoraEng.lng")));
    bench_->Numbers = numbers_;
    // Pages of the pictures' own files, unless a test asks for copies.
    if (!numbers_.count(L"MakeThumbs")) bench_->Numbers[L"MakeThumbs"] = 0;
    bench_->Start(size);
  }
  // A picture under the scratch folder, by its wide name.
  std::wstring Picture(const std::wstring& relative, const TBytes& bytes) {
    const std::wstring path = Wide(pics_->Path()) + relative;
    HANDLE f = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return path;
  }
  void Folder(const std::wstring& relative) { CreateDirectoryW((L"\\\\?\\" + Wide(pics_->Path()) + relative).c_str(), nullptr); }
  // Shows the folder and selects the named files in it.
  void Select(const std::wstring& folder, const std::vector<std::wstring>& names) {
    bench_->Folder = folder;
    for (const std::wstring& n : names) ASSERT_TRUE(bench_->SelectFile(L"\\\\?\\" + folder + L"\\" + n)) << Utf8(n);
  }
  // Runs a line of the menu; the page made, or "".
  std::string Run(int line) {
    bench_->MenuAnswers.push_back(line);
    EXPECT_EQ(bench_->OpenFromMenu(), nullptr) << "no panel is ever opened";
    return PagePath();
  }

  std::unique_ptr<TUnicodeBench> bench_;
  std::unique_ptr<TScratchFolder> pics_;
  std::map<std::wstring, unsigned long long> numbers_;
};

}  // namespace

TEST_F(UnicodeInterface, AnnouncesItselfAsANativePlugin) {
  Start();
  const bench3::GlobalInfo g = bench_->GetGlobalInfo();
  EXPECT_EQ(g.StructSize, sizeof g);
  EXPECT_GT(std::wstring(g.Title).size(), 0u);
  EXPECT_GT(std::wstring(g.Description).size(), 0u);
  EXPECT_GT(std::wstring(g.Author).size(), 0u);
  EXPECT_NE(std::memcmp(&g.Guid, "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16), 0);
  EXPECT_EQ(g.MinFarVersion.Major * 100000 + g.MinFarVersion.Minor * 10000 + g.MinFarVersion.Build, 302831u);
  EXPECT_EQ(g.Version.Major, 1u);
  const bench3::PluginInfo p = bench_->GetPluginInfo();
  ASSERT_EQ(p.PluginMenu.Count, 1u);
  ASSERT_EQ(p.PluginConfig.Count, 1u);
  EXPECT_STREQ(p.PluginMenu.Strings[0], L"Galvora");
  EXPECT_NE(std::memcmp(p.PluginMenu.Guids, p.PluginConfig.Guids, sizeof(GUID)), 0);
  EXPECT_EQ(p.Flags, 0u);
}

TEST_F(UnicodeInterface, TooShortARecordLeavesThePluginInert) {
  Start(offsetof(bench3::PluginStartupInfo, Slots) + sizeof(void*) * bench3::sSettingsControl);
  EXPECT_EQ(bench_->GetPluginInfo().PluginMenu.Count, 0u);
  bench_->MenuAnswers = {1};
  EXPECT_EQ(bench_->OpenFromMenu(), nullptr);
  EXPECT_TRUE(bench_->Menus.empty());
  EXPECT_EQ(bench_->Opens, 0) << "nothing of the host's is called";
}

TEST_F(UnicodeInterface, EveryNameReachesThePageAndTheClipboardExactly) {
  // Cyrillic, Greek, Chinese, an emoji (a surrogate pair) and a mix, in a
  // folder named so too.
  const std::wstring sub = L"\u0444\u043E\u0442\u043E \u5199\u771F";
  Folder(sub);
  const std::vector<std::wstring> names = {L"\u03B1.jpg", L"\u0444\u043E\u0442\u043E.png", L"\u5199\u771F.gif",
                                           L"\U0001F600 smile.bmp", L"caf\u00E9 \u00F1 \U0001D11E.jpg"};
  Picture(sub + L"\\" + names[0], img::JpegImage(64, 48));
  Picture(sub + L"\\" + names[1], img::PngHeader(48, 64, 8, 2));
  Picture(sub + L"\\" + names[2], img::GifHeader(40, 40, 0));
  Picture(sub + L"\\" + names[3], img::BmpHeader(100, 50, 24));
  Picture(sub + L"\\" + names[4], img::JpegImage(30, 60));
  Start();
  const std::wstring folder = Wide(pics_->Path()) + sub;
  Select(folder, names);
  const L page = Lines(Slurp(Run(1)));
  ASSERT_EQ(page.size(), 8u);
  EXPECT_EQ(page[0].find("<html><head><meta charset=\"utf-8\"><title>Galvora Far Plugin</title></head>"), 0u);
  const char* sizes[] = {"64x48\" width=\"120\" height=\"90\"", "48x64\" width=\"75\" height=\"100\"",
                         "40x40\" width=\"100\" height=\"100\"", "100x50\" width=\"120\" height=\"60\"",
                         "30x60\" width=\"50\" height=\"100\""};
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string path = Utf8(folder + L"\\" + names[i]);
    EXPECT_NE(page[2 + i].find("Href=\"file://localhost/" + path + "\""), std::string::npos) << page[2 + i];
    EXPECT_NE(page[2 + i].find(sizes[i]), std::string::npos) << page[2 + i];
  }
  bench_->MenuAnswers = {2};
  bench_->OpenFromMenu();
  std::wstring unicode;
  ASSERT_TRUE(ClipboardUnicode(unicode));
  std::wstring expected;
  for (const std::wstring& n : names) expected += folder + L"\\" + n + L"\r\n";
  EXPECT_EQ(unicode, expected);
}

TEST_F(UnicodeInterface, PathOf300CharactersIsSizedAndLinked) {
  std::wstring sub;
  while (Wide(pics_->Path()).size() + sub.size() + 9 < 300) {
    sub += std::wstring(40, L'd') + L"\u0434";
    Folder(sub);
    sub += L"\\";
  }
  Picture(sub + L"long.jpg", img::JpegImage(64, 48));
  Start();
  const std::wstring folder = Wide(pics_->Path()) + sub.substr(0, sub.size() - 1);
  ASSERT_GE(folder.size() + 9, 300u);
  Select(folder, {L"long.jpg"});
  const L page = Lines(Slurp(Run(0)));
  ASSERT_EQ(page.size(), 4u);
  EXPECT_NE(page[2].find(Utf8(folder) + "\\long.jpg 64x48\""), std::string::npos) << page[2];
}

TEST_F(UnicodeInterface, TemplatesGetNamesAndDatesAsCharacterReferences) {
  for (const char* part : {"head", "new", "end"}) WriteFile(BinDir() + "tn_" + part + ".htm", "<x>\r\n");
  WriteFile(BinDir() + "tn_pix.htm", "%NAME%|%WIDTH%x%HEIGHT%|%PATH%\r\n");
  numbers_[L"Template"] = 1;
  Picture(L"\u03B1\u00E9.jpg", img::JpegImage(64, 48));
  Start();
  Select(Wide(pics_->Path().substr(0, pics_->Path().size() - 1)), {L"\u03B1\u00E9.jpg"});
  const L page = Lines(Slurp(Run(1)));
  for (const char* part : {"head", "pix", "new", "end"}) DeleteFileA((BinDir() + "tn_" + part + ".htm").c_str());
  ASSERT_EQ(page.size(), 3u);
  EXPECT_EQ(page[1], "&#945;&#233;.jpg|64x48|" + pics_->Path());
}

TEST_F(UnicodeInterface, SettingsComeOverOnceFromThe1xKeyAndGoBackThroughTheDialog) {
  SetDword(kSettingsKey1x, "Cols", 3);
  SetValue(kSettingsKey1x, "BgColor", REG_SZ, std::string("336699", 7));
  Start();
  EXPECT_EQ(bench_->Numbers[L"Cols"], 3u);
  EXPECT_EQ(bench_->Texts[L"BgColor"], L"336699");
  EXPECT_EQ(bench_->Numbers.count(L"ColsTh"), 0u) << "what the 1.x build left not is read as its default, never written";
  EXPECT_EQ((std::vector<int>{bench_->Opens, bench_->Commits}), (std::vector<int>{1, 1}))
      << "the values taken over and read in one session";
  // Once only: the store has values now.
  SetDword(kSettingsKey1x, "Cols", 5);
  numbers_ = bench_->Numbers;
  Start();
  EXPECT_EQ(bench_->Numbers[L"Cols"], 3u);

  // The dialog: its items, and what the user changes goes to the store.
  TDialog3Answer answer;
  answer.Edits = {{14, L"200"}, {5, L"abc"}};
  answer.Toggles = {1};
  answer.Result = 18;
  bench_->DialogAnswers = {answer};
  EXPECT_EQ(bench_->Configure(), 1);
  EXPECT_EQ((std::vector<int>{bench_->Opens, bench_->Commits}), (std::vector<int>{2, 2})) << "OK stores in one session";
  ASSERT_EQ(bench_->Dialogs.size(), 1u);
  const TDialog3Call& d = bench_->Dialogs[0];
  EXPECT_EQ(d.Width, 41);
  EXPECT_EQ(d.Height, 15);
  EXPECT_EQ(d.HelpTopic, L"Config");
  ASSERT_EQ(d.Items.size(), 20u);
  EXPECT_EQ(d.Items[0].Y2, 13);
  EXPECT_EQ(d.Texts[11], L"Thumbs per row:");
  EXPECT_EQ(d.Items[18].Flags, 0x4000u | 0x100000000ull) << "the first button is the default";
  EXPECT_NE(d.Items[1].Flags & 0x200000000ull, 0u) << "focus";
  EXPECT_EQ(d.Texts[9], L"3");
  EXPECT_EQ(bench_->Numbers[L"Width"], 200u);
  EXPECT_EQ(bench_->Numbers[L"Template"], 1u);
  EXPECT_EQ(bench_->Texts[L"BgColor"], L"abc");
}

TEST_F(UnicodeInterface, SettingsComeFromTheFirstOfTheOldKeysThatExists) {
  // Where the 1.x build may have kept them, most particular first.
  const std::string keys[] = {"Software\\Far Manager\\Users\\\xE9va\\Plugins\\Galvora", kSettingsKey1x,
                              "Software\\Far\\Users\\\xE9va\\Plugins\\Galvora", "Software\\Far\\Plugins\\Galvora"};
  SetEnvironmentVariableW(L"FARUSER", L"\u00E9va");
  for (int first = 3; first >= 0; --first) {
    for (int k = first; k < 4; ++k) SetDword(keys[k], "ColsTh", 10 + k);
    numbers_.clear();
    Start();
    EXPECT_EQ(bench_->Numbers[L"ColsTh"], 10u + first) << keys[first];
  }
  SetEnvironmentVariableW(L"FARUSER", nullptr);
  numbers_.clear();
  Start();
  EXPECT_EQ(bench_->Numbers[L"ColsTh"], 11u) << "without a profile, the profiles' keys are not read";
  for (const std::string& key : keys) DeleteKeyTree(key);
}

TEST_F(UnicodeInterface, MacroRunsOneCommandWithoutTheMenu) {
  Picture(L"a.jpg", img::JpegImage(64, 48));
  Start();
  Select(Wide(pics_->Path().substr(0, pics_->Path().size() - 1)), {L"a.jpg"});
  bench3::FarMacroValue thumbnails{};
  thumbnails.Type = 2;
  thumbnails.String = L"Thumbnails";
  EXPECT_EQ(bench_->OpenFromMacro({thumbnails}), reinterpret_cast<HANDLE>(1));
  EXPECT_NE(Slurp(PagePath()).find("width=\"120\" height=\"90\""), std::string::npos);
  DeleteFileA(PagePath().c_str());
  bench3::FarMacroValue copy{};
  copy.Type = 1;
  copy.Integer = 3;
  EXPECT_EQ(bench_->OpenFromMacro({copy}), reinterpret_cast<HANDLE>(1));
  std::wstring unicode;
  ASSERT_TRUE(ClipboardUnicode(unicode));
  EXPECT_EQ(unicode, Wide(pics_->Path()) + L"a.jpg\r\n");
  bench3::FarMacroValue unknown{};
  unknown.Type = 2;
  unknown.String = L"sideways";
  EXPECT_EQ(bench_->OpenFromMacro({unknown}), nullptr);
  EXPECT_EQ(bench_->OpenFromMacro({}), nullptr);
  EXPECT_TRUE(bench_->Menus.empty());
}

TEST_F(UnicodeInterface, PanelWithoutFilesIsRefusedWithAMessage) {
  Start();
  for (int kind : {1, 2}) {
    bench_->PanelType = kind == 1 ? 1 : 0;
    bench_->PanelFlags = kind == 1 ? 0x20 : 0x800;  // a tree; a plugin's panel of virtual names
    bench_->Boxes.clear();
    EXPECT_EQ(Run(1), "");
    ASSERT_EQ(bench_->Boxes.size(), 1u) << kind;
    EXPECT_EQ(bench_->Boxes[0][1], L"Galvora works on the files of a file panel.");
  }
}

TEST_F(UnicodeInterface, LongJobShowsTheProgressBoxAndTheTaskbarAndClearsBoth) {
  std::vector<std::wstring> names;
  for (int i = 0; i < 12; ++i) names.push_back(Picture(L"p" + std::to_wstring(10 + i) + L".jpg", img::JpegImage(64, 48)).substr(Wide(pics_->Path()).size()));
  Start();
  ASSERT_TRUE(SlowClockOf(bench_->Module(), 100));
  Select(Wide(pics_->Path().substr(0, pics_->Path().size() - 1)), names);
  EXPECT_FALSE(Run(1).empty());
  // After half a second (the fifth file): a box without buttons,
  // left-aligned, with the same count on the taskbar; when the job ends,
  // the taskbar is cleared and the screen redrawn.
  ASSERT_FALSE(bench_->Boxes.empty());
  EXPECT_EQ(bench_->BoxFlags[0], 8u);
  EXPECT_EQ(bench_->Boxes[0][2].substr(0, 7), L"5 of 12");
  ASSERT_GE(bench_->Taskbar.size(), 3u);
  EXPECT_EQ(bench_->Taskbar[0], (std::pair<int, unsigned long long>{22, 4}));
  EXPECT_EQ(bench_->Taskbar.end()[-2], (std::pair<int, unsigned long long>{21, 0}));
  EXPECT_EQ(bench_->Taskbar.back().first, 19);
}

TEST_F(UnicodeInterface, ThumbnailPageShowsTheWorkersCopyAndLinksThePicture) {
  const std::wstring name = L"\u0444\u043e\u0442\u043e #1.jpg";
  const std::wstring picture = Wide(pics_->Path()) + name;
  ASSERT_TRUE(CopyFileW(Wide(SourceDir() + "\\samples\\sunset.jpg").c_str(), picture.c_str(), FALSE));
  numbers_[L"MakeThumbs"] = 1;
  numbers_[L"Width"] = 40;
  numbers_[L"Height"] = 30;
  Start();
  TScratchFolder appData;
  ASSERT_TRUE(RedirectLocalAppData(bench_->Module(), Wide(appData.Path())));
  Select(Wide(pics_->Path().substr(0, pics_->Path().size() - 1)), {name});
  const L page = Lines(Slurp(Run(1)));
  ASSERT_EQ(page.size(), 4u);
  const std::string copy = appData.Path() + "Galvora\\Thumbnails\\";
  EXPECT_NE(page[2].find("Href=\"file://localhost/" + Utf8(Wide(pics_->Path())) + "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE %231.jpg\""),
            std::string::npos)
      << page[2];
  const size_t src = page[2].find("src=\"file://localhost/" + copy);
  ASSERT_NE(src, std::string::npos) << page[2];
  EXPECT_EQ(page[2].substr(src + 22 + copy.size() + 16, 5), ".jpg\"");
}
