// Runs thumbnail jobs through the worker program, outside the host's
// process: a worker that ends or answers nothing for ten seconds is ended,
// and a new one takes the rest. The pictures it was busy with are tried
// again one at a time, so that the one it failed on is found and gets no
// copy; every other picture still gets its copy.
#pragma once

#include <cstdint>
#include <string>

#include "core/JobProgress.h"
#include "thumbnails/WorkerProtocol.h"

// How one job ended.
enum TJobEnd : uint8_t {
  jeWaiting,    // not done (the user stopped the run)
  jeMade,       // the copy is there (Ext says which)
  jeFailed,     // the worker could not make it (Why says why)
  jeCrashed,    // the worker ended or hung on it
  jeNoWorker,   // no worker could run it (none there, or no WIC)
};

struct TJobState {
  TJobEnd End = jeWaiting;
  TCopyExt Ext = ceNone;
  TJobFailure Why = jfNone;
};

// The jobs, made when they are sent, and where their ends go.
class TJobList {
 public:
  virtual ~TJobList() = default;
  virtual size_t Count() const = 0;
  virtual TThumbJob Job(size_t index) const = 0;
  virtual void Ended(size_t index, const TJobState& state) = 0;
};

// A worker that answers nothing for this long is taken for hung.
constexpr uint32_t kWorkerTimeoutMs = 10000;

// Runs the jobs (program: the worker's path), telling the list how each
// ended. Progress shows "Making thumbnails" with the picture's name; false
// when the user stopped it with Esc: the worker finishes the pictures it is
// busy with and ends, the copies made so far stay, and the jobs not done
// are not told of.
bool RunThumbnailJobs(const std::wstring& program, TJobList& jobs, TJobProgress& progress);
