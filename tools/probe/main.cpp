// galvora-probe: prints what the image probe reads from each file, one
// tab-separated line per file: type, width, height, depth, size, path.
// With --why, a file without a size gets one more column: unreadable,
// unrecognised, truncated, unsupported or damaged.
//
//   galvora-probe [--why] FILE...
//   galvora-probe [--why] --stdin < list-of-paths
//
// Exit status 0 also for files that are not recognised.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "imageinfo/DCImageInfo.h"

namespace {

const char* Reason(TProbeFailure failure) {
  switch (failure) {
    case pfUnreadable: return "unreadable";
    case pfUnrecognised: return "unrecognised";
    case pfTruncated: return "truncated";
    case pfUnsupported: return "unsupported";
    case pfDamaged: return "damaged";
    default: return "";
  }
}

void Probe(TDCImageInfo& probe, const std::string& path, bool why) {
  probe.ReadInfo(path);
  std::printf("%u\t%d\t%d\t%d\t%d\t%s", static_cast<unsigned>(probe.ImageType), probe.Width, probe.Height,
              probe.Depth, probe.FileSize, path.c_str());
  if (why && probe.Failure != pfNone) std::printf("\t%s", Reason(probe.Failure));
  std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
  // Lines go out through a buffer, not one system call each.
  static char buffer[64 * 1024];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  TDCImageInfo probe;
  bool fromStdin = false, why = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--stdin")
      fromStdin = true;
    else if (arg == "--why")
      why = true;
    else if (arg == "--help" || arg == "-h") {
      std::printf("usage: galvora-probe [--why] [--stdin] [FILE...]\n");
      return 0;
    } else
      files.push_back(arg);
  }
  for (const std::string& f : files) Probe(probe, f, why);
  if (fromStdin) {
    std::ios::sync_with_stdio(false);
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) Probe(probe, line, why);
    }
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
