// The Windows Imaging Component for one of the worker's threads: decodes a
// picture with whatever codec the system has for it, scales it (in the
// decoder where it can, else with the Fant scaler), turns it as shown, and
// writes the copy as JPEG, or as PNG where it has transparency.
#pragma once

#include <cstdint>

#include "thumbnails/WorkerProtocol.h"

struct IWICImagingFactory;

// A picture whose full decode would take more than this is decoded only
// where the decoder scales it down first.
constexpr uint64_t kMaxDecodeBytes = 256ull << 20;

class TWic {
 public:
  TWic() = default;
  ~TWic();
  TWic(const TWic&) = delete;
  TWic& operator=(const TWic&) = delete;

  // Enters a COM apartment of this thread's own and creates the factory;
  // false when the system has no WIC.
  bool Start();
  // Makes the job's copy: job.Target + ".jpg" or ".png", written under a
  // temporary name first and then renamed, so that no half-written copy is
  // ever seen. ext is the one made; the failure otherwise. reserve(bytes)
  // is asked before the decode takes its memory, and gets that many back
  // through release.
  TJobFailure MakeCopy(const TThumbJob& job, TCopyExt& ext, bool (*reserve)(uint64_t), void (*release)(uint64_t));

 private:
  IWICImagingFactory* factory_ = nullptr;
  bool com_ = false;
};
