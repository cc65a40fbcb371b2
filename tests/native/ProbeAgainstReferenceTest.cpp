// The probe's block reading against the literal per-byte reading, on
// damaged images and on every input the fuzzer ever kept as a regression.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "imageinfo/DCImageInfo.h"
#include "tests/ImageBuilders.h"
#include "tests/fuzz/ReferenceProbe.h"

namespace {

reference::TResult Real(const TBytes& b, int* type = nullptr, bool* bounded = nullptr) {
  TDCImageInfo info;
  info.ReadInfoFrom(std::make_unique<TMemorySource>(b.data(), b.size()));
  if (type) *type = info.ImageType;
  if (bounded) *bounded = reference::CostIsBounded(info.BytesRead, info.Steps, b.size());
  return {info.ImageType, info.Width, info.Height, info.Depth, info.FileSize, info.Orientation};
}

std::string Describe(const reference::TResult& r) {
  return "type " + std::to_string(r.ImageType) + " " + std::to_string(r.Width) + "x" + std::to_string(r.Height) +
         " depth " + std::to_string(r.Depth) + " size " + std::to_string(r.FileSize) + " orientation " + std::to_string(r.Orientation);
}

}  // namespace

TEST(ProbeAgainstReference, DamagedImagesOfEveryFormat) {
  std::vector<TBytes> images = {
      img::PngHeader(640, 480, 8, 6),          img::GifHeader(320, 200, 0xF7),
      img::BmpHeader(200, -100, 24),           img::PcxHeader(0, 0, 639, 479, 8, 3),
      img::TiffImage(false, 1024, 768, 8),     img::TiffImage(true, 1024, 768, 8),
      img::JpegImage(1920, 1080),              img::TiffFile(false, {{256, 3, 9}, {257, 3, 9}, {258, 3, 8}}, 20010),
      img::PhoneJpeg(4032, 3024, 6, false, 300, 500), img::PhoneJpeg(3024, 4032, 8, true, 300, 500),
  };
  uint32_t seed = 7;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  int checked = 0;
  for (const TBytes& original : images) {
    for (int round = 0; round < 2000; ++round) {
      TBytes b = original;
      const int changes = 1 + next() % 4;
      for (int c = 0; c < changes && !b.empty(); ++c) {
        switch (next() % 4) {
          case 0: b[next() % b.size()] = static_cast<uint8_t>(next() >> 24); break;
          case 1: b.resize(next() % (b.size() + 1)); break;
          case 2: b.insert(b.begin() + next() % (b.size() + 1), {0xFF, static_cast<uint8_t>(next() >> 24)}); break;
          default: b[next() % b.size()] = 0xFF; break;
        }
      }
      int type = 0;
      const reference::TResult got = Real(b, &type), want = reference::Probe(b.data(), b.size());
      if (type >= itWebP) continue;  // a newer format, read by its reader alone
      ASSERT_TRUE(got == want) << "round " << round << ": probe " << Describe(got) << ", literal reading "
                               << Describe(want);
      ++checked;
    }
  }
  EXPECT_GT(checked, 15000);
}

TEST(ProbeAgainstReference, FuzzRegressionInputs) {
#if defined(_WIN32)
  const std::filesystem::path source = std::string("Z:") + GALVORA_SOURCE_DIR;  // the build tree under Wine
#else
  const std::filesystem::path source = GALVORA_SOURCE_DIR;
#endif
  const std::filesystem::path folder = source / "tests/fuzz/regressions/probe";
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const TBytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int type = 0;
    bool bounded = false;
    const reference::TResult got = Real(b, &type, &bounded);
    EXPECT_TRUE(type >= itWebP || got == reference::Probe(b.data(), b.size())) << entry.path();
    EXPECT_TRUE(bounded) << entry.path() << ": costs more than its length allows";
  }
}
