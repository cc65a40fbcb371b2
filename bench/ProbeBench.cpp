// Probe benchmark: the probe over a generated corpus beside a baseline that
// only opens each file, reads its first block once and closes it.
//
//   galvora-probe-bench [FOLDER] [FILES] [ROUNDS]
//
// Prints the time per file of both loops and their ratio (probe / baseline).
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

// One file of the corpus; the mix cycles through six formats and noise.
TBytes CorpusFile(int i) {
  const uint16_t w = static_cast<uint16_t>(100 + i % 900), h = static_cast<uint16_t>(80 + i % 700);
  switch (i % 8) {
    case 0: return Padded(img::PngHeader(w, h, 8, 6));
    case 1: return Padded(img::GifHeader(w, h, 0xF7));
    case 2: return Padded(img::BmpHeader(w, h, 24));
    case 3: return Padded(img::PcxHeader(0, 0, w - 1, h - 1, 8, 3));
    case 4: {
      // The directory at the end, as many writers put it: beyond the first block.
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

std::string Folder(int argc, char** argv) {
  if (argc > 1) return argv[1];
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

// The baseline: open, read the first block once, close.
size_t OpenReadClose(const std::string& path, std::vector<char>& buffer) {
#if defined(_WIN32)
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 0;
  DWORD got = 0;
  ReadFile(f, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
  CloseHandle(f);
  return got;
#else
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  ssize_t got = pread(fd, buffer.data(), buffer.size(), 0);
  close(fd);
  return got > 0 ? static_cast<size_t>(got) : 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = Folder(argc, argv);
  const int count = argc > 2 ? std::atoi(argv[2]) : 2400;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 7;
  MakeFolder(folder);
  std::vector<std::string> paths;
  const char* ext[] = {".png", ".gif", ".bmp", ".pcx", ".tif", ".tif", ".jpg", ".bin"};
  for (int i = 0; i < count; ++i) {
    paths.push_back(folder + (folder.back() == '/' || folder.back() == '\\' ? "" : "/") + "f" + std::to_string(i) +
                    ext[i % 8]);
    const TBytes b = CorpusFile(i);
    std::ofstream(paths.back(), std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
  }

  std::vector<char> buffer(kHeadBlock);
  TDCImageInfo probe;
  int recognised = 0;
  std::vector<double> baseline, probing;
  for (int r = 0; r < rounds; ++r) {
    auto t0 = Clock::now();
    for (const std::string& p : paths) OpenReadClose(p, buffer);
    auto t1 = Clock::now();
    recognised = 0;
    for (const std::string& p : paths) {
      probe.ReadInfo(p);
      recognised += probe.ImageType != itNone && probe.Width > 0;
    }
    auto t2 = Clock::now();
    baseline.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count() / count);
    probing.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count() / count);
  }
  std::sort(baseline.begin(), baseline.end());
  std::sort(probing.begin(), probing.end());
  const double b = baseline[rounds / 2], p = probing[rounds / 2];
  std::printf("probe benchmark: %d files of about 100 KB (%d of them images the probe sized), %d rounds, median\n",
              count, recognised, rounds);
  std::printf("  baseline (open, read %zu bytes, close): %8.2f us per file\n", kHeadBlock, b);
  std::printf("  probe (ReadInfo):                       %8.2f us per file\n", p);
  std::printf("  ratio probe / baseline:                 %8.3f\n", p / b);
  // Every image of the corpus is sized (noise may pass for one now and then).
  return recognised >= count - count / 8 ? 0 : 1;
}
