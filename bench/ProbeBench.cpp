// Probe benchmark: the probe over a generated corpus beside the floor that
// every header reader pays: open the file, ask for its size, read its first
// 4 KB once, close it.
//
//   galvora-probe-bench [FOLDER] [FILES] [PHONE_FILES] [ROUNDS]
//   galvora-probe-bench --measure LIST_FILE ROUNDS
//
// The corpus has three parts: the mix of six formats and non-images, one
// list per newer format (WebP, AVIF, HEIC, JPEG XL, icons, SVG), and
// photos as phones write them (a 30-70 KB Exif block with a thumbnail, XMP
// and a colour profile of 150 KB or more before the frame header, turned by
// orientation 1, 6 or 8). Their path lists are left in FOLDER (mix.txt,
// phone.txt, all.txt, webp.txt, ...) for the other readers that scripts/bench.sh runs over
// the same files. Prints the median time per file of both loops for each
// list. With --measure it only times the files of one list and prints
// "FLOOR PROBE SIZED", so that a script can take turns with other readers.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "imageinfo/DCImageInfo.h"
#include "tests/ImageBuilders.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

uint32_t gSeed = 20261208;
uint8_t RandomByte() { return static_cast<uint8_t>((gSeed = gSeed * 1103515245u + 12345u) >> 24); }

// About 100 KB: the header, then noise.
TBytes Padded(TBytes b, size_t size = 100 * 1024) {
  while (b.size() < size) b.push_back(RandomByte());
  return b;
}

TBytes CameraJpeg(uint16_t w, uint16_t h) {
  TBytes exif = img::Text("Exif");
  img::Append(exif, {0, 0});
  for (int i = 0; i < 6000; ++i) exif.push_back(RandomByte() | 1);  // no FF D8 FF by chance
  img::Append(exif, {0xFF, 0xD9});
  TBytes b = img::JpegSoi();
  img::Append(b, img::JpegSegment(0xE1, exif));
  img::Append(b, img::JpegSegment(0xDB, TBytes(65, 1)));
  img::Append(b, img::JpegFrame(0xC0, w, h, 3));
  return b;
}

// One file of the mix; it cycles through six formats and noise.
TBytes MixFile(int i) {
  const uint16_t w = static_cast<uint16_t>(100 + i % 900), h = static_cast<uint16_t>(80 + i % 700);
  switch (i % 8) {
    case 0: return Padded(img::PngHeader(w, h, 8, 6));
    case 1: return Padded(img::GifHeader(w, h, 0xF7));
    case 2: return Padded(img::BmpHeader(w, h, 24));
    case 3: return Padded(img::PcxHeader(0, 0, w - 1, h - 1, 8, 3));
    case 4: {
      // The directory at the end, as many writers put it: beyond the first read.
      TBytes b = Padded(TBytes{'I', 'I', 42, 0, 0, 0, 0, 0}, 100 * 1024 - 64);
      TBytes tiff = img::TiffFile(false, {{256, 3, w}, {257, 3, h}, {258, 3, 8}}, static_cast<uint32_t>(b.size()));
      b.insert(b.end(), tiff.begin() + static_cast<long>(b.size()), tiff.end());
      b[4] = tiff[4], b[5] = tiff[5], b[6] = tiff[6], b[7] = tiff[7];
      return b;
    }
    case 5: return Padded(img::TiffImage(true, w, h, 8));
    case 6: return Padded(CameraJpeg(w, h));
    default: return Padded({});  // not an image
  }
}

// A phone photo of about 300-400 KB.
TBytes PhoneFile(int i) {
  const uint16_t orientations[] = {1, 6, 8};
  const size_t exif = 30000 + static_cast<size_t>(i % 5) * 8000;  // 30-62 KB with the thumbnail
  const size_t icc = 150000 + static_cast<size_t>(i % 4) * 30000;  // 150-240 KB
  TBytes b = img::PhoneJpeg(static_cast<uint16_t>(4000 + i % 32), 3000, orientations[i % 3], i % 2 == 1, exif, icc);
  return Padded(b, b.size() + 100 * 1024);
}

// The newer formats, one list each: their headers, then noise to about
// 100 KB, as the encoders lay them out (the ISO files' meta box and the
// container's codestream come first).
const char* const kModern[] = {"webp", "avif", "heic", "jxl", "ico", "svg"};

TBytes ModernFile(const std::string& kind, int i) {
  const uint32_t w = static_cast<uint32_t>(100 + i % 900), h = static_cast<uint32_t>(80 + i % 700);
  if (kind == "webp") {
    switch (i % 3) {
      case 0: return Padded(img::WebPLossy(static_cast<uint16_t>(w), static_cast<uint16_t>(h)));
      case 1: return Padded(img::WebPLossless(w, h, true));
      default: return Padded(img::WebPExtended(w, h, true));
    }
  }
  if (kind == "avif")
    return Padded(img::HeifFile("avif", {img::Ispe(w, h), img::Pixi({8, 8, 8}), img::Irot(i % 4)}, {1, 2, 3}));
  if (kind == "heic")
    return Padded(img::HeifFile("heic", {img::Ispe(w, h), img::Irot(i % 4)}, {1, 2}, 49, 49));
  if (kind == "jxl") {
    const TBytes stream = img::JxlCodestream(w, h, 0, 1, 1 + i % 8);
    return Padded(i % 2 ? img::JxlContainer(stream, false) : stream);
  }
  if (kind == "ico") return Padded(img::IconFile({{16, 16, 32}, {32, 32, 32}, {48, 48, 32}, {0, 0, 32}}));
  std::string svg = "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(w) +
                    "\" height=\"" + std::to_string(h) + "pt\" viewBox=\"0 0 10 10\">\n";
  while (svg.size() < 100 * 1024) svg += "<rect x=\"1\" y=\"2\" width=\"3\" height=\"4\" fill=\"#123456\"/>\n";
  return img::Text(svg + "</svg>\n");
}

std::string Folder(const char* arg) {
  if (arg) return arg;
#if defined(_WIN32)
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "galvora-probe-corpus";
#else
  return "/tmp/galvora-probe-corpus";
#endif
}

void MakeFolder(const std::string& path) {
#if defined(_WIN32)
  CreateDirectoryA(path.c_str(), nullptr);
#else
  mkdir(path.c_str(), 0755);
#endif
}

// The floor: open, the size query, one read of the first 4 KB, close.
size_t Floor(const std::string& path, std::vector<char>& buffer) {
#if defined(_WIN32)
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 0;
  LARGE_INTEGER size;
  GetFileSizeEx(f, &size);
  DWORD got = 0;
  ReadFile(f, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
  CloseHandle(f);
  return got;
#else
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat st;
  fstat(fd, &st);
  ssize_t got = pread(fd, buffer.data(), buffer.size(), 0);
  close(fd);
  return got > 0 ? static_cast<size_t>(got) : 0;
#endif
}

struct TTimes {
  double Floor, Probe;
  int Sized;
};

TTimes Measure(const std::vector<std::string>& paths, int rounds) {
  std::vector<char> buffer(kFirstRead);
  TDCImageInfo probe;
  std::vector<double> floor, probing;
  int sized = 0;
  for (int r = 0; r < rounds; ++r) {
    auto t0 = Clock::now();
    for (const std::string& p : paths) Floor(p, buffer);
    auto t1 = Clock::now();
    sized = 0;
    for (const std::string& p : paths) {
      probe.ReadInfo(p);
      sized += probe.ImageType != itNone && probe.Width > 0;
    }
    auto t2 = Clock::now();
    floor.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count() / paths.size());
    probing.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count() / paths.size());
  }
  std::sort(floor.begin(), floor.end());
  std::sort(probing.begin(), probing.end());
  return {floor[rounds / 2], probing[rounds / 2], sized};
}

void WriteList(const std::string& path, const std::vector<std::string>& paths) {
  std::ofstream out(path, std::ios::binary);
  for (const std::string& p : paths) out << p << "\n";
}

std::vector<std::string> ReadList(const std::string& path) {
  std::vector<std::string> paths;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) paths.push_back(line);
  }
  return paths;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--measure") {
    const std::vector<std::string> paths = ReadList(argv[2]);
    if (paths.empty()) return 2;
    const TTimes t = Measure(paths, std::atoi(argv[3]));
    std::printf("%.3f %.3f %d\n", t.Floor, t.Probe, t.Sized);
    return 0;
  }
  const std::string folder = Folder(argc > 1 ? argv[1] : nullptr);
  const int mixCount = argc > 2 ? std::atoi(argv[2]) : 2400;
  const int phoneCount = argc > 3 ? std::atoi(argv[3]) : 600;
  const int rounds = argc > 4 ? std::atoi(argv[4]) : 7;
  MakeFolder(folder);
  const std::string base = folder + (folder.back() == '/' || folder.back() == '\\' ? "" : "/");
  std::vector<std::string> mix, phone, all;
  const char* ext[] = {".png", ".gif", ".bmp", ".pcx", ".tif", ".tif", ".jpg", ".bin"};
  for (int i = 0; i < mixCount; ++i) {
    mix.push_back(base + "f" + std::to_string(i) + ext[i % 8]);
    const TBytes b = MixFile(i);
    std::ofstream(mix.back(), std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
  }
  for (int i = 0; i < phoneCount; ++i) {
    phone.push_back(base + "phone" + std::to_string(i) + ".jpg");
    const TBytes b = PhoneFile(i);
    std::ofstream(phone.back(), std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
  }
  // The whole list interleaves the two parts, as a folder would mix them.
  for (size_t i = 0, j = 0; i < mix.size() || j < phone.size();) {
    for (int k = 0; k < 4 && i < mix.size(); ++k) all.push_back(mix[i++]);
    if (j < phone.size()) all.push_back(phone[j++]);
  }
  std::vector<std::vector<std::string>> modern;
  const int modernCount = std::max(mixCount / 2, 1);
  for (const char* kind : kModern) {
    modern.emplace_back();
    for (int i = 0; i < modernCount; ++i) {
      modern.back().push_back(base + kind + std::to_string(i) + "." + kind);
      const TBytes b = ModernFile(kind, i);
      std::ofstream(modern.back().back(), std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
    }
    WriteList(base + kind + ".txt", modern.back());
  }
  WriteList(base + "mix.txt", mix);
  WriteList(base + "phone.txt", phone);
  WriteList(base + "all.txt", all);

  std::printf("probe benchmark: median of %d rounds, microseconds per file\n", rounds);
  std::printf("  %-7s %6s %8s %8s %7s %s\n", "list", "files", "floor", "probe", "ratio", "sized by the probe");
  struct TList {
    const char* name;
    const std::vector<std::string>* paths;
    int images;  // every image must be sized (noise may pass for one now and then)
  };
  std::vector<TList> lists = {{"mix", &mix, mixCount - mixCount / 8},
                              {"phone", &phone, phoneCount},
                              {"all", &all, mixCount - mixCount / 8 + phoneCount}};
  for (size_t k = 0; k < modern.size(); ++k) lists.push_back({kModern[k], &modern[k], modernCount});
  bool ok = true;
  for (const auto& list : lists) {
    const TTimes t = Measure(*list.paths, rounds);
    std::printf("  %-7s %6zu %8.2f %8.2f %7.3f %d\n", list.name, list.paths->size(), t.Floor, t.Probe,
                t.Probe / t.Floor, t.Sized);
    ok = ok && t.Sized >= list.images;
  }
  std::printf("  floor: open, size query, one read of %zu bytes, close\n", kFirstRead);
  return ok ? 0 : 1;
}
