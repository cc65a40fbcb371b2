#include "thumbnails/Maker.h"

#include <deque>
#include <vector>

#include "core/Messages.h"
#include "platform/Console.h"
#include "platform/Process.h"

namespace {

// Workers that end before they say they are ready, in a row, before the
// rest of the jobs is given up.
constexpr int kMaxFailedStarts = 3;
// How long the loop waits for the worker when nothing happens.
constexpr uint32_t kPollMs = 15;

class TRun {
 public:
  TRun(const std::wstring& program, TJobList& jobs, TJobProgress& progress)
      : program_(program), jobs_(jobs), progress_(progress), total_(jobs.Count()) {}

  bool Run() {
    while (finished_ < total_) {
      if (!progress_.Next(MMakingThumbnails, static_cast<int>(finished_), static_cast<int>(total_), name_))
        return Stop();
      if (!running_ && !Start()) {
        GiveUp();
        return true;
      }
      const bool sent = Send();
      const bool heard = Hear();
      if (!running_) continue;  // it ended: the next round starts another
      if (!inFlight_.empty() && TickCount() - lastHeard_ > kWorkerTimeoutMs) {
        Lost();
        continue;
      }
      // Nothing to do: the worker is waited for a moment (it may end).
      if (!sent && !heard) worker_.WaitForEnd(kPollMs);
    }
    worker_.CloseInput();
    worker_.WaitForEnd(2000);
    return true;
  }

 private:
  // Starts a worker and waits for it to say that it is ready.
  bool Start() {
    received_.clear();
    inFlight_.clear();
    if (failedStarts_ >= kMaxFailedStarts || !worker_.Start(program_, L"")) return false;
    // Ten seconds by the clock, and as many by the waits: a start that is
    // slow on a busy machine is not taken for a failed one.
    const uint32_t start = TickCount();
    for (uint32_t waited = 0;; waited += kPollMs) {
      const bool open = worker_.Receive(received_);
      const size_t end = received_.find('\n');
      TWorkerMessage message;
      if (end != std::string::npos) {
        const bool ready = ParseWorkerLine(std::string_view(received_).substr(0, end + 1), message) && message.Kind == 'W';
        received_.erase(0, end + 1);
        if (!ready) {
          // No decoders on this system: no worker will do better.
          failedStarts_ = kMaxFailedStarts;
          worker_.Terminate();
          return false;
        }
        threads_ = message.Threads;
        running_ = true;
        lastHeard_ = TickCount();
        return true;
      }
      if (!open || (TickCount() - start > kWorkerTimeoutMs && waited > kWorkerTimeoutMs)) break;
      worker_.WaitForEnd(kPollMs);
    }
    worker_.Terminate();
    ++failedStarts_;
    return Start();
  }

  // Gives the worker what it may take now: a picture it was busy with when
  // a worker was lost goes alone, everything else a few per thread ahead.
  bool Send() {
    bool sent = false;
    for (;;) {
      size_t job;
      if (!suspects_.empty()) {
        if (!inFlight_.empty()) return sent;
        job = suspects_.front();
        suspects_.pop_front();
        isolated_ = true;
      } else {
        if (isolated_ && !inFlight_.empty()) return sent;
        isolated_ = false;
        if (next_ >= total_ || inFlight_.size() >= static_cast<size_t>(2 * threads_)) return sent;
        job = next_++;
      }
      TThumbJob line = jobs_.Job(job);
      line.Id = static_cast<uint32_t>(job);
      if (inFlight_.empty()) lastHeard_ = TickCount();
      if (!worker_.Send(JobLine(line))) {
        // Gone: the job waits for the next worker.
        suspects_.push_front(job);
        running_ = false;
        worker_.Terminate();
        return sent;
      }
      inFlight_.push_back(job);
      name_ = line.Source.substr(line.Source.find_last_of(L"\\:") + 1);
      sent = true;
    }
  }

  // Takes the worker's answers; false when there were none.
  bool Hear() {
    if (!running_) return false;
    const bool open = worker_.Receive(received_);
    bool heard = false;
    for (size_t end; (end = received_.find('\n')) != std::string::npos; received_.erase(0, end + 1)) {
      TWorkerMessage m;
      if (!ParseWorkerLine(std::string_view(received_).substr(0, end + 1), m) || (m.Kind != 'R' && m.Kind != 'F'))
        continue;
      for (size_t i = 0; i < inFlight_.size(); ++i) {
        if (inFlight_[i] != m.Id) continue;
        inFlight_.erase(inFlight_.begin() + static_cast<std::ptrdiff_t>(i));
        TJobState state;
        state.End = m.Kind == 'R' ? jeMade : jeFailed;
        state.Ext = m.Ext;
        state.Why = m.Why;
        jobs_.Ended(m.Id, state);
        ++finished_;
        heard = true;
        failedStarts_ = 0;
        break;
      }
    }
    if (heard) lastHeard_ = TickCount();
    if (!open) Lost();
    return heard;
  }

  // The worker ended or hangs: the picture it was busy with alone gets no
  // copy; of several, each is tried again alone.
  void Lost() {
    worker_.Terminate();
    running_ = false;
    if (inFlight_.size() == 1) {
      TJobState state;
      state.End = jeCrashed;
      jobs_.Ended(inFlight_[0], state);
      ++finished_;
    } else {
      suspects_.insert(suspects_.begin(), inFlight_.begin(), inFlight_.end());
    }
    inFlight_.clear();
    isolated_ = false;
  }

  // No worker can run: what is left is not made.
  void GiveUp() {
    TJobState state;
    state.End = jeNoWorker;
    for (size_t job : inFlight_) jobs_.Ended(job, state);
    for (size_t job : suspects_) jobs_.Ended(job, state);
    for (; next_ < total_; ++next_) jobs_.Ended(next_, state);
    inFlight_.clear();
    suspects_.clear();
    finished_ = total_;
  }

  // Esc: the worker finishes what it is busy with, and ends.
  bool Stop() {
    worker_.CloseInput();
    const uint32_t start = TickCount();
    while (running_ && !inFlight_.empty() && TickCount() - start < kWorkerTimeoutMs) {
      if (!Hear()) worker_.WaitForEnd(kPollMs);
    }
    worker_.Terminate();
    return false;
  }

  const std::wstring& program_;
  TJobList& jobs_;
  TJobProgress& progress_;
  const size_t total_;
  TChildProcess worker_;
  std::string received_;
  std::deque<size_t> suspects_;
  std::vector<size_t> inFlight_;
  std::wstring name_;
  size_t next_ = 0, finished_ = 0;
  int threads_ = 1, failedStarts_ = 0;
  uint32_t lastHeard_ = 0;
  bool running_ = false, isolated_ = false;
};

}  // namespace

bool RunThumbnailJobs(const std::wstring& program, TJobList& jobs, TJobProgress& progress) {
  return TRun(program, jobs, progress).Run();
}
