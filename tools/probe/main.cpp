// galvora-probe: prints what the image probe reads from each file, one
// tab-separated line per file: type, width, height, depth, size, path.
//
//   galvora-probe FILE...
//   galvora-probe --stdin < list-of-paths
//
// Exit status 0 also for files that are not recognised.
#include <cstdio>
#include <iostream>
#include <string>

#include "imageinfo/DCImageInfo.h"

namespace {

void Probe(TDCImageInfo& probe, const std::string& path) {
  probe.ReadInfo(path);
  std::printf("%u\t%d\t%d\t%d\t%d\t%s\n", static_cast<unsigned>(probe.ImageType), probe.Width, probe.Height,
              probe.Depth, probe.FileSize, path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  TDCImageInfo probe;
  bool fromStdin = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--stdin")
      fromStdin = true;
    else if (arg == "--help" || arg == "-h") {
      std::printf("usage: galvora-probe [--stdin] [FILE...]\n");
      return 0;
    } else
      Probe(probe, arg);
  }
  if (fromStdin) {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) Probe(probe, line);
    }
  }
  return 0;
}
