#include "core/JobProgress.h"

#include "core/Host.h"
#include "core/Messages.h"
#include "platform/Console.h"

namespace {

// The host's progress box comes up once a job has run this long, and is
// drawn again at most this often.
constexpr uint32_t kProgressAfterMs = 500;
constexpr uint32_t kRedrawMs = 100;
// The width of the box's lines, so that it keeps its size as it is redrawn.
constexpr size_t kProgressWidth = 56;

// The name cut in its middle to `width` characters and padded to it.
std::wstring Shortened(std::wstring name, size_t width) {
  if (name.size() > width) name = name.substr(0, width / 2 - 1) + L"..." + name.substr(name.size() - (width - width / 2 - 2));
  name.resize(width, L' ');
  return name;
}

std::wstring Decimal(int value) {
  const std::string digits = std::to_string(value);
  return std::wstring(digits.begin(), digits.end());
}

}  // namespace

TJobProgress::TJobProgress() : start_(TickCount()) {}

bool TJobProgress::Next(int stageMessage, int done, int total, const std::wstring& name) {
  if (EscPressed()) return false;
  const uint32_t now = TickCount();
  if (now - start_ < kProgressAfterMs || (shown_ && now - drawn_ < kRedrawMs)) return true;
  shown_ = true;
  drawn_ = now;
  THost& host = Host();
  const std::wstring count = Decimal(done + 1) + L" " + host.Msg(MOfTotal) + L" " + Decimal(total);
  host.Progress({Shortened(host.Msg(stageMessage), kProgressWidth), Shortened(count, kProgressWidth),
                 Shortened(name, kProgressWidth)},
                done, total);
  return true;
}

void TJobProgress::End() {
  if (shown_) Host().EndProgress();
  shown_ = false;
}
