// Writes the fuzz targets' seed corpora: small valid inputs of every kind.
//   make_fuzz_seeds OUT_DIR   (makes OUT_DIR/probe, OUT_DIR/number, OUT_DIR/placeholder)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/ImageBuilders.h"

namespace {

void Put(const std::string& dir, const std::string& name, const TBytes& b) {
  std::ofstream(dir + "/" + name, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}
void Put(const std::string& dir, const std::string& name, const std::string& s) { Put(dir, name, img::Text(s)); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string out = argv[1];
  const std::string probe = out + "/probe", number = out + "/number", placeholder = out + "/placeholder";
  for (const std::string& d : {probe, number, placeholder}) std::filesystem::create_directories(d);

  Put(probe, "png-rgba", img::PngHeader(640, 480, 8, 6));
  Put(probe, "png-palette", img::PngHeader(70000, 20, 4, 3));
  Put(probe, "gif", img::GifHeader(320, 200, 0xF7));
  Put(probe, "bmp-top-down", img::BmpHeader(200, -100, 24));
  Put(probe, "pcx", img::PcxHeader(0, 0, 639, 479, 8, 3));
  Put(probe, "tiff-ii", img::TiffImage(false, 1024, 768, 8));
  Put(probe, "tiff-mm", img::TiffImage(true, 1024, 768, 8));
  Put(probe, "tiff-far", img::TiffFile(false, {{256, 4, 10}, {257, 1, 20}, {258, 3, 8}}, 30000));
  Put(probe, "jpeg", img::JpegImage(1920, 1080));
  Put(probe, "jpeg-progressive", img::JpegImage(100, 50, 1, 0xC2));
  TBytes exif = img::JpegSoi();
  img::Append(exif, img::JpegSegment(0xE1, {'E', 'x', 'i', 'f', 0, 0, 0xFF, 0xD8, 0xFF, 0xD9}));
  img::Append(exif, img::JpegFrame(0xC0, 4000, 3000, 3));
  Put(probe, "jpeg-exif", exif);
  Put(probe, "jpeg-exif-thumbnail", img::CameraJpeg(img::JpegImage(160, 120)));
  Put(probe, "text", std::string("\nnot really a picture"));
  // The newer formats, each in its forms.
  Put(probe, "gif-frame", img::GifWithFrame(32, 32, 24, 24, 16, 16));
  Put(probe, "bigtiff-mm", img::BigTiff(true, {{256, 4, 70000}, {257, 3, 300}, {258, 1, 8, 3}, {274, 3, 6}}));
  Put(probe, "os2-bmp", [] {
    TBytes b = img::BmpHeader(0, 0, 0);
    img::Put32LE(b, 14, 12);
    img::Put16LE(b, 18, 30);
    img::Put16LE(b, 20, 20);
    return b;
  }());
  Put(probe, "webp-lossy", img::WebPLossy(300, 450));
  Put(probe, "webp-lossless", img::WebPLossless(64, 32, true));
  Put(probe, "webp-extended", img::WebPExtended(640, 360, true));
  Put(probe, "avif", img::HeifFile("avif", {img::Clap(320, 240), img::Ispe(640, 480), img::Irot(1), img::Pixi({8, 8, 8})},
                                   {2, 1, 3, 4}));
  Put(probe, "heic-grid", img::HeifFile("heic", {img::Ispe(4032, 3024), img::Irot(3)}, {1, 2}, 49, 49));
  Put(probe, "jxl-codestream", img::JxlCodestream(640, 480, 0, 1, 6));
  Put(probe, "jxl-ratio", img::JxlCodestream(0, 900, 5));
  Put(probe, "jxl-container", img::JxlContainer(img::JxlCodestream(640, 480), true));
  Put(probe, "ico", img::IconFile({{16, 16, 32}, {0, 0, 32}, {32, 32, 8}}));
  Put(probe, "cur", img::IconFile({{32, 32, 0}}, true));
  Put(probe, "svg", std::string("\xEF\xBB\xBF<?xml version='1.0'?><!-- c --><!DOCTYPE svg [<!ENTITY a '>'>]>"
                                "<svg width='1in' height='2cm' viewBox='0 0 400 100'>"));
  // Phone photos: Exif with an orientation, XMP, a colour profile; one with
  // its frame header beyond the first 20000 bytes.
  Put(probe, "phone-ii", img::PhoneJpeg(4032, 3024, 6, false, 1500, 2000));
  Put(probe, "phone-mm", img::PhoneJpeg(3024, 4032, 8, true, 1500, 2000));
  Put(probe, "phone-far", img::PhoneJpeg(4000, 3000, 5, false, 25000, 6000));

  for (const char* n : {"7", " 7", "-5", "$1F", "$FFFFFFFF", "2147483648", "12a", "", "+0"})
    Put(number, std::string("n") + std::to_string(std::hash<std::string>()(n) % 100000), std::string(n));

  Put(placeholder, "all",
      "<a href=\"%FULLNAME%\">%NAME%</a> %PATH% %DATE% %TIME% %COLS% %SIZE% %WIDTH%x%HEIGHT% %TNWIDTH% %TNHEIGHT% "
      "%CURDATE% %CURTIME%\x01" "6\x01" "C:\\a.jpg\x01" "a.jpg\x01" "C:\\\x01" "d\x01" "t\x01" "1\x01" "2\x01" "3\x01"
      "4\x01" "5\x01" "now");
  Put(placeholder, "self", "%%name%%\x01" "%NAME%\x01" "%SIZE%.jpg");
  Put(placeholder, "lines", "a\r\nb\rc\nd\r\r\n");
  std::printf("seeds written to %s\n", out.c_str());
  return 0;
}
