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
  Put(probe, "text", std::string("\nnot really a picture"));
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
