// The selected items of a page, in the order of the host's selection.
#pragma once

#include <cstdint>
#include <string>

#include "host/FARIntf.h"
#include "platform/PathName.h"

class TPageItems {
 public:
  virtual ~TPageItems() = default;
  virtual int Count() const = 0;
  // The item's full ANSI path: what the page shows and links to.
  virtual std::string FullPath(int index) const = 0;
  // The same file as it is opened: the path in the code page it came in.
  virtual TPathName FileName(int index) const { return TPathName(FullPath(index), cpAnsi); }
  // The creation time of the item's find data, as the host reported it.
  virtual TFarFileTime CreationTime(int index) const = 0;
};
