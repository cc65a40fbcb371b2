// The items of a page, in the order of the host's selection, and how the
// page's writers end.
#pragma once

#include <cstdint>
#include <string>

#include "core/Selection.h"
#include "imageinfo/DCImageInfo.h"

class TPageItems {
 public:
  virtual ~TPageItems() = default;
  virtual int Count() const = 0;
  // The item's full path: the file that is opened, and what the page shows
  // and links to.
  virtual std::wstring FullPath(int index) const = 0;
  // The creation time of the item's find data, as the host reported it.
  virtual TFileTime CreationTime(int index) const = 0;
  // Probes the item's file into probe; false when the user has asked the
  // job to stop before this item.
  virtual bool Probe(int index, TDCImageInfo& probe) {
    probe.ReadInfo(FullPath(index));
    return true;
  }
};

// How a page writer ended.
enum TPageResult : uint8_t {
  prDone,                // the whole page, unless a write failed (the sink says so)
  prCancelled,           // the user stopped the job
  prTemplateUnreadable,  // a template file is missing or cannot be read
  prLineTooLong,         // a template line grows beyond kMaxPageLine
  prNoMemory,            // a large block could not be had
};

struct TPageOutcome {
  TPageResult Result = prDone;
  std::string Template;  // the template file concerned, by name
};
