// Thumbnails through the real DLL and the real worker under Wine, with
// Wine's own WIC: where each copy comes from, the cache, a worker that
// crashes or hangs, Esc, pictures too large to decode, and cache folders
// that cannot be written.
#include <windows.h>

#include <algorithm>
#include <map>

#include "imageinfo/DCImageInfo.h"
#include "tests/ImageBuilders.h"
#include "tests/win32/PluginTestSupport.h"

using namespace testsupport;

namespace {

using L = std::vector<std::string>;

using img::Bytes;

class Thumbnails : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    thumbnails_ = true;
    appData_ = std::make_unique<TScratchFolder>();
    pics_ = std::make_unique<TScratchFolder>();
    log_ = pics_->Path() + "decodes.log";
    SetEnvironmentVariableA("GALVORA_WORKER_LOG", log_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("GALVORA_WORKER_LOG", nullptr);
    SetEnvironmentVariableA("GALVORA_WORKER_FAULT", nullptr);
    host_.reset();
    pics_.reset();
    appData_.reset();
    PluginTest::TearDown();
  }
  // The real DLL with a box of 40 x 30, so that every sample larger than
  // 16 times its area gets a copy, and its cache in a scratch folder.
  void Start() {
    SetDword(SettingsKey(), "Width", 40);
    SetDword(SettingsKey(), "Height", 30);
    StartPlugin();
    ASSERT_TRUE(host_->LocalAppData(Wide(appData_->Path())));
    host_->CurDir = pics_->Path();
  }
  std::string Cache() const { return appData_->Path() + "Galvora\\Thumbnails\\"; }
  // A bundled sample, copied into the pictures' folder.
  // A bundled sample (named in UTF-8), copied into the pictures' folder.
  void Sample(const std::string& name, const std::string& as = "") {
    const std::wstring from = Wide(SourceDir() + "\\samples\\") + WideFrom(name, CP_UTF8);
    ASSERT_TRUE(CopyFileW(from.c_str(), Wide(pics_->Path() + (as.empty() ? name : as)).c_str(), FALSE)) << name;
  }
  void Select(const L& names) {
    host_->Selection.clear();
    for (const std::string& n : names) ASSERT_TRUE(host_->SelectFile(pics_->Path() + n)) << n;
  }
  // The thumbnail page's image source for each picture, by the picture's name.
  std::map<std::string, std::string> Sources() {
    std::map<std::string, std::string> sources;
    const std::string page = RunMenu(1);
    EXPECT_FALSE(page.empty()) << "no page";
    for (const std::string& line : Lines(Slurp(page))) {
      const size_t href = line.find("Href=\""), src = line.find("src=\"");
      if (href == std::string::npos || src == std::string::npos) continue;
      const std::string link = line.substr(href + 6, line.find('"', href + 6) - href - 6);
      const std::string image = line.substr(src + 5, line.find('"', src + 5) - src - 5);
      const std::string file = "file://localhost/";
      sources[link.substr(link.find_last_of('\\') + 1)] = image.compare(0, file.size(), file) == 0 ? image.substr(file.size()) : image;
    }
    DeleteFileA(page.c_str());
    return sources;
  }
  // The pictures the worker decoded since the last look.
  L Decoded() {
    L names;
    std::string log = Slurp(log_);
    for (size_t end; (end = log.find('\n')) != std::string::npos; log.erase(0, end + 1)) {
      // J, id, width, height, orientation, then the source.
      size_t at = 0;
      for (int field = 0; field < 5; ++field) at = log.find('\t', at) + 1;
      const std::string source = log.substr(at, log.find('\t', at) - at);
      names.push_back(source.substr(source.find_last_of('\\') + 1));
    }
    DeleteFileA(log_.c_str());
    std::sort(names.begin(), names.end());
    return names;
  }
  static TDCImageInfo Probe(const std::string& path) {
    TDCImageInfo info;
    info.ReadInfo(Wide(path));
    return info;
  }
  // The JPEG that the page carries in itself, from its data: address.
  static TDCImageInfo ProbeInline(const std::string& uri) {
    const std::string prefix = "data:image/jpeg;base64,";
    EXPECT_EQ(uri.compare(0, prefix.size(), prefix), 0) << uri.substr(0, 40);
    static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    static std::string bytes;
    bytes.clear();
    uint32_t bits = 0, count = 0;
    for (size_t i = prefix.size(); i < uri.size() && uri[i] != '='; ++i) {
      bits = bits << 6 | static_cast<uint32_t>(digits.find(uri[i]));
      if ((count += 6) >= 8) bytes += static_cast<char>(bits >> (count -= 8) & 0xFF);
    }
    TDCImageInfo info;
    info.ReadInfoFrom(std::make_unique<TMemorySource>(bytes.data(), bytes.size()));
    return info;
  }

  std::unique_ptr<TScratchFolder> appData_, pics_;
  std::string log_;
};

// A copy of the sample whose Exif thumbnail is given another size, so that
// its proportions no longer match the picture's.
void MismatchedThumbnail(const std::string& from, const std::string& to) {
  std::string bytes = Slurp(from);
  const size_t thumbnailFrame = bytes.find("\xFF\xC0");  // the thumbnail's, inside the Exif block
  ASSERT_NE(thumbnailFrame, std::string::npos);
  bytes[thumbnailFrame + 6] = 100;  // 160 x 120 becomes 160 x 100
  WriteFile(to, bytes);
}

}  // namespace

TEST_F(Thumbnails, EachPictureGetsTheCopyItsFormatAllows) {
  for (const char* sample : {"portrait-6.jpg", "sunset.jpg", "tiff-intel.tif", "scan.pcx", "icon.ico", "logo.svg"})
    Sample(sample);
  Sample("caf\xC3\xA9.gif", "cafe.gif");
  Sample("Stra\xC3\x9F" "e.bmp", "strasse.bmp");
  MismatchedThumbnail(SourceDir() + "\\samples\\portrait-6.jpg", pics_->Path() + "other-aspect.jpg");
  WriteFile(pics_->Path() + "alpha.png", Bytes(img::PngImage(200, 100, 200, 40, 40, 128)));
  WriteFile(pics_->Path() + "notes.dat", "not a picture, but long enough for any reader to look at it");
  Start();
  Select({"portrait-6.jpg", "other-aspect.jpg", "sunset.jpg", "alpha.png", "cafe.gif", "strasse.bmp", "tiff-intel.tif",
          "scan.pcx", "notes.dat", "icon.ico", "logo.svg"});
  std::map<std::string, std::string> src = Sources();
  // The camera's own thumbnail needs no decode; one of other proportions is not used.
  EXPECT_EQ(Decoded(), (L{"alpha.png", "cafe.gif", "notes.dat", "other-aspect.jpg", "scan.pcx", "strasse.bmp",
                          "sunset.jpg", "tiff-intel.tif"}));
  // The page carries the camera's thumbnail in itself, turned as shown.
  const TDCImageInfo exif = ProbeInline(src["portrait-6.jpg"]);
  EXPECT_EQ((L{std::to_string(exif.Width), std::to_string(exif.Height), std::to_string(exif.Orientation)}),
            (L{"120", "160", "6"}))
      << "stored as 160 x 120, shown turned as the picture is";
  // Decoded copies fit into twice the box (80 x 60), turned as shown; JPEG
  // unless the picture has transparency.
  const struct {
    const char* Name;
    const char* Ext;
    int Width, Height;
  } copies[] = {{"other-aspect.jpg", ".jpg", 45, 60}, {"sunset.jpg", ".jpg", 80, 60},  {"alpha.png", ".png", 80, 40},
                {"strasse.bmp", ".jpg", 80, 53},       {"tiff-intel.tif", ".jpg", 45, 60}};
  for (const auto& c : copies) {
    const std::string& path = src[c.Name];
    EXPECT_EQ(path.compare(0, Cache().size(), Cache()), 0) << c.Name << ": " << path;
    EXPECT_EQ(path.substr(path.size() - 4), c.Ext) << c.Name;
    const TDCImageInfo copy = Probe(path);
    EXPECT_EQ((std::vector<int>{copy.Width, copy.Height}), (std::vector<int>{c.Width, c.Height})) << c.Name;
  }
  EXPECT_EQ(Probe(src["cafe.gif"]).Width, 60) << "160 x 160 into 80 x 60";
  // What nothing decodes gets a placeholder naming it; small pictures and
  // SVG keep their own files.
  EXPECT_NE(Slurp(src["scan.pcx"]).find("PCX \xC2\xB7 160\xC3\x97" "120"), std::string::npos) << src["scan.pcx"];
  EXPECT_NE(Slurp(src["notes.dat"]).find(">?<"), std::string::npos);
  EXPECT_EQ(src["icon.ico"], pics_->Path() + "icon.ico");
  EXPECT_EQ(src["logo.svg"], pics_->Path() + "logo.svg");
}

TEST_F(Thumbnails, ALaterPageOfTheSamePicturesDecodesNothing) {
  for (const char* sample : {"sunset.jpg", "tiff-intel.tif"}) Sample(sample);
  Sample("Stra\xC3\x9F" "e.bmp", "strasse.bmp");
  Start();
  Select({"sunset.jpg", "strasse.bmp", "tiff-intel.tif"});
  const std::map<std::string, std::string> first = Sources();
  EXPECT_EQ(Decoded().size(), 3u);
  EXPECT_EQ(Sources(), first);
  EXPECT_TRUE(Decoded().empty()) << "all three from the cache";
  // Nor does it open them: what the first page learnt is in the picture
  // index (with the files gone, a probe would find nothing).
  const std::string kept = pics_->Path() + "kept\\";
  CreateDirectoryA(kept.c_str(), nullptr);
  for (const char* name : {"sunset.jpg", "strasse.bmp", "tiff-intel.tif"})
    ASSERT_TRUE(MoveFileA((pics_->Path() + name).c_str(), (kept + name).c_str()));
  EXPECT_EQ(Sources(), first);
  for (const char* name : {"sunset.jpg", "strasse.bmp", "tiff-intel.tif"})
    ASSERT_TRUE(MoveFileA((kept + name).c_str(), (pics_->Path() + name).c_str()));
  // A changed picture gets a copy of its own; the others stay.
  Sample("sunset.jpg", "strasse.bmp");
  Select({"sunset.jpg", "strasse.bmp", "tiff-intel.tif"});
  const std::map<std::string, std::string> after = Sources();
  EXPECT_EQ(Decoded(), L{"strasse.bmp"});
  EXPECT_NE(after.at("strasse.bmp"), first.at("strasse.bmp"));
  EXPECT_EQ(after.at("tiff-intel.tif"), first.at("tiff-intel.tif"));
}

TEST_F(Thumbnails, TheCacheKeepsItsBoundAndTheCleanUpTheLast30Days) {
  for (const char* sample : {"sunset.jpg", "tiff-intel.tif"}) Sample(sample);
  Sample("Stra\xC3\x9F" "e.bmp", "strasse.bmp");
  SetDword(SettingsKey(), "ThumbCacheMB", 0);  // nothing beyond the page's own copies
  Start();
  Select({"sunset.jpg"});
  const std::string first = Sources().at("sunset.jpg");
  Select({"strasse.bmp", "tiff-intel.tif"});
  const std::map<std::string, std::string> second = Sources();
  EXPECT_EQ(GetFileAttributesA(first.c_str()), INVALID_FILE_ATTRIBUTES) << "the least recently used copy went";
  for (const auto& copy : second) EXPECT_NE(GetFileAttributesA(copy.second.c_str()), INVALID_FILE_ATTRIBUTES);

  // The clean-up command: copies unused for 30 days go, the others stay.
  const std::string old = second.at("strasse.bmp"), recent = second.at("tiff-intel.tif");
  HANDLE file = CreateFileA(old.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t = {{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= 31ull * 864000000000ull;
  const FILETIME then = {t.LowPart, t.HighPart};
  SetFileTime(file, nullptr, nullptr, &then);
  CloseHandle(file);
  RunMenu(3);
  EXPECT_EQ(GetFileAttributesA(old.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA(recent.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Thumbnails, AWorkerThatCrashesOrHangsCostsOnePicture) {
  for (const char* sample : {"sunset.jpg", "tiff-intel.tif"}) Sample(sample);
  Sample("Stra\xC3\x9F" "e.bmp", "strasse.bmp");
  Sample("caf\xC3\xA9.gif", "cafe.gif");
  for (const char* fault : {"crash:strasse", "hang:strasse"}) {
    SetEnvironmentVariableA("GALVORA_WORKER_FAULT", fault);
    Start();
    // A clock that runs fast: ten seconds without an answer come soon.
    ASSERT_TRUE(host_->SlowClock(20));
    Select({"sunset.jpg", "strasse.bmp", "tiff-intel.tif", "cafe.gif"});
    std::map<std::string, std::string> src = Sources();
    EXPECT_EQ(src["strasse.bmp"].substr(src["strasse.bmp"].size() - 4), ".svg") << fault;
    EXPECT_NE(Slurp(src["strasse.bmp"]).find("BMP"), std::string::npos) << fault;
    for (const char* other : {"sunset.jpg", "tiff-intel.tif", "cafe.gif"})
      EXPECT_EQ(src[other].substr(src[other].size() - 4), ".jpg") << fault << " " << other;
    DeleteKeyTree(SettingsKey());
    RemoveTree(Wide(appData_->Path() + "Galvora\\"));
    Decoded();
  }
}

TEST_F(Thumbnails, EscStopsTheWorkerAndKeepsTheCopiesMade) {
  for (int i = 0; i < 6; ++i) Sample("sunset.jpg", "p" + std::to_string(i) + ".jpg");
  Sample("portrait-6.jpg");
  Start();
  Select({"portrait-6.jpg", "p0.jpg", "p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg"});
  ASSERT_TRUE(host_->PressEscAt(9));  // after the seven pictures are read, while copies are made
  EXPECT_EQ(RunMenu(1), "");
  EXPECT_TRUE(host_->ShellOpens.empty());
  EXPECT_TRUE(temp_->Pages().empty());
  // The copies the worker had finished stay.
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((Cache() + "*.jpg").c_str(), &data);
  EXPECT_NE(find, INVALID_HANDLE_VALUE);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  EXPECT_LT(Decoded().size(), 6u) << "not every copy was made";
}

TEST_F(Thumbnails, APictureTooLargeToDecodeGetsAPlaceholder) {
  // A PNG of 30000 x 30000 needs 3.6 GB decoded, and WIC here cannot scale
  // while decoding: only the header is there, which is all the worker reads.
  TBytes huge = img::PngHeader(30000, 30000, 8, 2);
  img::Put32BE(huge, 29, img::Crc32(huge.data() + 12, 17));
  WriteFile(pics_->Path() + "huge.png", Bytes(huge));
  Start();
  Select({"huge.png"});
  const std::string src = Sources().at("huge.png");
  EXPECT_NE(Slurp(src).find("PNG \xC2\xB7 30000\xC3\x97" "30000"), std::string::npos) << src;
}

TEST_F(Thumbnails, AnUnwritableCacheFallsBackToTheTemporaryFolderThenToTheOriginals) {
  Sample("sunset.jpg");
  WriteFile(appData_->Path() + "Galvora", "a file where the folder should be");
  Start();
  Select({"sunset.jpg"});
  EXPECT_EQ(Sources().at("sunset.jpg").compare(0, temp_->Path().size() + 19, temp_->Path() + "Galvora\\Thumbnails\\"), 0);
  // Neither can be written: the page shows the picture itself.
  RemoveTree(Wide(temp_->Path() + "Galvora\\"));
  WriteFile(temp_->Path() + "Galvora", "a file here too");
  EXPECT_EQ(Sources().at("sunset.jpg"), pics_->Path() + "sunset.jpg");
}

TEST_F(Thumbnails, WithoutTheWorkerThePageShowsTheOriginalsAndNamesTheRest) {
  // The DLL alone, as a user might copy it: no GalvoraThumbs.exe beside it.
  TScratchFolder plugin;
  for (const char* file : {"Galvora.dll", "GalvoraEng.lng"})
    ASSERT_TRUE(CopyFileA((BinDir() + file).c_str(), (plugin.Path() + file).c_str(), FALSE));
  Sample("sunset.jpg");
  Sample("scan.pcx");
  SetDword(SettingsKey(), "Width", 40);
  SetDword(SettingsKey(), "Height", 30);
  host_ = std::make_unique<THostBench>();
  ASSERT_TRUE(host_->Load(plugin.Path() + "Galvora.dll")) << host_->Error();
  ASSERT_TRUE(host_->LoadLanguage(plugin.Path() + "GalvoraEng.lng"));
  host_->RootKey = root_;
  host_->Start();
  ASSERT_TRUE(host_->LocalAppData(Wide(appData_->Path())));
  host_->CurDir = pics_->Path();
  Select({"sunset.jpg", "scan.pcx"});
  std::map<std::string, std::string> src = Sources();
  EXPECT_EQ(src["sunset.jpg"], pics_->Path() + "sunset.jpg");
  EXPECT_NE(Slurp(src["scan.pcx"]).find("PCX"), std::string::npos) << src["scan.pcx"];
  EXPECT_TRUE(Decoded().empty());
  host_.reset();
}
