// GalvoraThumbs.exe: the plugin's thumbnail worker. Decoding pictures runs
// the system's codecs, third-party ones among them; here a codec that
// crashes or hangs costs the plugin one picture, never the file manager.
// Reads jobs from its standard input and answers on its standard output
// (thumbnails/WorkerProtocol.h); decodes on as many threads as there are
// processors, at most eight, each in a COM apartment of its own.
//
// For the tests: GALVORA_WORKER_FAULT=crash:TEXT or hang:TEXT makes it end
// or stop answering on a picture whose path holds TEXT, and
// GALVORA_WORKER_LOG=FILE appends a line for every picture it decodes.
#include <windows.h>

#include <deque>
#include <string>

#include "thumbnails/WorkerProtocol.h"
#include "worker/Wic.h"

namespace {

constexpr int kMaxThreads = 8;
// What the decodes in flight may take together.
constexpr uint64_t kMemoryBudget = sizeof(void*) == 8 ? 1024ull << 20 : 512ull << 20;

CRITICAL_SECTION gLock;
HANDLE gJobsReady = nullptr;  // a semaphore: one count per job queued, and per thread at the end
std::deque<TThumbJob> gJobs;
uint64_t gMemoryInUse = 0;
std::wstring gFault, gLog;

class TLock {
 public:
  TLock() { EnterCriticalSection(&gLock); }
  ~TLock() { LeaveCriticalSection(&gLock); }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;
};

// One whole line to the plugin at a time.
void Say(const std::string& line) {
  TLock lock;
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// Waits until the memory fits in the budget beside the other decodes; a
// single decode larger than the budget never does.
bool Reserve(uint64_t bytes) {
  if (bytes > kMemoryBudget) return false;
  for (;;) {
    {
      TLock lock;
      if (gMemoryInUse + bytes <= kMemoryBudget) {
        gMemoryInUse += bytes;
        return true;
      }
    }
    Sleep(5);
  }
}

void Release(uint64_t bytes) {
  TLock lock;
  gMemoryInUse -= bytes;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD n = GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

void Log(const TThumbJob& job) {
  if (gLog.empty()) return;
  TLock lock;
  HANDLE file = CreateFileW(gLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string line = JobLine(job);
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

// The test hook: ends the process or hangs on the picture it names.
void Fault(const TThumbJob& job) {
  if (gFault.size() < 6) return;
  const bool crash = gFault.compare(0, 6, L"crash:") == 0, hang = gFault.compare(0, 5, L"hang:") == 0;
  const std::wstring text = gFault.substr(crash ? 6 : 5);
  if ((!crash && !hang) || text.empty() || job.Source.find(text) == std::wstring::npos) return;
  if (crash) TerminateProcess(GetCurrentProcess(), 3);
  Sleep(INFINITE);
}

DWORD WINAPI Decoder(void*) {
  TWic wic;
  const bool ready = wic.Start();
  for (;;) {
    WaitForSingleObject(gJobsReady, INFINITE);
    TThumbJob job;
    {
      TLock lock;
      if (gJobs.empty()) return 0;  // the input has ended
      job = std::move(gJobs.front());
      gJobs.pop_front();
    }
    Fault(job);
    Log(job);
    TCopyExt ext = ceNone;
    const TJobFailure why = ready ? wic.MakeCopy(job, ext, Reserve, Release) : jfNoDecoder;
    Say(why == jfNone ? DoneLine(job.Id, ext) : FailedLine(job.Id, why));
  }
}

}  // namespace

int main() {
  InitializeCriticalSection(&gLock);
  gFault = Environment(L"GALVORA_WORKER_FAULT");
  gLog = Environment(L"GALVORA_WORKER_LOG");
  {
    TWic probe;
    if (!probe.Start()) {
      Say(NoDecoderLine());
      return 2;
    }
  }
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  int threads = static_cast<int>(system.dwNumberOfProcessors);
  threads = threads < 1 ? 1 : threads > kMaxThreads ? kMaxThreads : threads;
  gJobsReady = CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, nullptr);
  HANDLE decoders[kMaxThreads];
  int started = 0;
  for (int i = 0; i < threads; ++i)
    if ((decoders[started] = CreateThread(nullptr, 0, Decoder, nullptr, 0, nullptr)) != nullptr) ++started;
  if (started == 0) {
    Say(NoDecoderLine());
    return 2;
  }
  Say(ReadyLine(started));

  // Lines from the plugin, until it closes the input.
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buffer[8192];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(input, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
    pending.append(buffer, got);
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      TThumbJob job;
      if (!ParseJobLine(std::string_view(pending).substr(0, end + 1), job)) continue;
      {
        TLock lock;
        gJobs.push_back(std::move(job));
      }
      ReleaseSemaphore(gJobsReady, 1, nullptr);
    }
  }
  // Each decoder takes the jobs left, then finds the queue empty and ends.
  ReleaseSemaphore(gJobsReady, started, nullptr);
  WaitForMultipleObjects(static_cast<DWORD>(started), decoders, TRUE, INFINITE);
  return 0;
}
