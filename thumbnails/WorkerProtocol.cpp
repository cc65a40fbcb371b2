#include "thumbnails/WorkerProtocol.h"

#include <vector>

#include "platform/Unicode.h"

namespace {

const char* const kReasons[] = {"", "nodecoder", "large", "damaged", "write", "open"};

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  for (size_t start = 0;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// Decimal digits of a value in [low, high].
bool Number(std::string_view text, int64_t low, int64_t high, int64_t& value) {
  if (text.empty() || text.size() > 10) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  value = v;
  return v >= low && v <= high;
}

}  // namespace

std::string JobLine(const TThumbJob& job) {
  return "J\t" + std::to_string(job.Id) + "\t" + std::to_string(job.Width) + "\t" + std::to_string(job.Height) + "\t" +
         std::to_string(job.Orientation) + "\t" + Utf8Encode(job.Source) + "\t" + Utf8Encode(job.Target) + "\n";
}

bool ParseJobLine(std::string_view line, TThumbJob& job) {
  const std::vector<std::string_view> f = Fields(line);
  int64_t id, w, h, o;
  if (f.size() != 7 || f[0] != "J" || !Number(f[1], 0, 0xFFFFFFFF, id) || !Number(f[2], 1, 65535, w) ||
      !Number(f[3], 1, 65535, h) || !Number(f[4], 0, 8, o) || f[5].empty() || f[6].empty())
    return false;
  job.Id = static_cast<uint32_t>(id);
  job.Width = static_cast<int32_t>(w);
  job.Height = static_cast<int32_t>(h);
  job.Orientation = static_cast<int32_t>(o);
  job.Source = WideFromUtf8(f[5]);
  job.Target = WideFromUtf8(f[6]);
  return true;
}

std::string ReadyLine(int32_t threads) { return "W\t" + std::to_string(threads) + "\n"; }
std::string NoDecoderLine() { return "X\tnowic\n"; }
std::string DoneLine(uint32_t id, TCopyExt ext) {
  return "R\t" + std::to_string(id) + "\t" + (ext == cePng ? "png" : "jpg") + "\n";
}
std::string FailedLine(uint32_t id, TJobFailure why) {
  return "F\t" + std::to_string(id) + "\t" + kReasons[why <= jfOpen ? why : jfDamaged] + "\n";
}

bool ParseWorkerLine(std::string_view line, TWorkerMessage& m) {
  const std::vector<std::string_view> f = Fields(line);
  m = TWorkerMessage();
  int64_t n = 0;
  if (f[0] == "W" && f.size() == 2 && Number(f[1], 1, 64, n)) {
    m.Kind = 'W';
    m.Threads = static_cast<int32_t>(n);
    return true;
  }
  if (f[0] == "X" && f.size() == 2) return m.Kind = 'X', true;
  if (f.size() != 3 || !Number(f[1], 0, 0xFFFFFFFF, n)) return false;
  m.Id = static_cast<uint32_t>(n);
  if (f[0] == "R" && (f[2] == "jpg" || f[2] == "png")) {
    m.Kind = 'R';
    m.Ext = f[2] == "png" ? cePng : ceJpg;
    return true;
  }
  if (f[0] != "F") return false;
  for (uint8_t why = jfNoDecoder; why <= jfOpen; ++why)
    if (f[2] == kReasons[why]) return m.Kind = 'F', m.Why = static_cast<TJobFailure>(why), true;
  return false;
}
