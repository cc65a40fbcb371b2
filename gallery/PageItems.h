// The items of a page, in the order of the host's selection, and how the
// page's writers end. The job has probed every picture and made its copies
// before the writers run; they only write.
#pragma once

#include <cstdint>
#include <string>

#include "core/PageEncoder.h"
#include "core/Picture.h"
#include "core/Selection.h"
#include "gallery/PathText.h"

class TPageItems {
 public:
  virtual ~TPageItems() = default;
  virtual int Count() const = 0;
  // The item's full path: the file that the page links to.
  virtual std::wstring FullPath(int index) const = 0;
  // The creation time of the item's find data, as the host reported it.
  virtual TFileTime CreationTime(int index) const = 0;
  // What the probe found, and what the page shows for it.
  virtual const TPicture& Picture(int index) const = 0;
  // The file that stands for the picture on the page (a copy, a preview or
  // a placeholder), or empty for the picture's own file.
  virtual std::wstring ShownPath(int /*index*/) const { return std::wstring(); }
  // The picture's stand-in carried in the page itself, as a data: address
  // (ASCII); empty for none.
  virtual std::string InlineImage(int /*index*/) const { return std::string(); }
  // True when the page is made with copies: the full-size view then lets
  // the browser fetch and decode the pictures near the screen first.
  virtual bool LazyFullSize() const { return false; }

  // The address of the image that stands for the item on the page: the one
  // carried in the page, its stand-in's file, or else the picture's own
  // (url, as the page writes it).
  std::string ImageAddress(int index, const std::string& url, const TPageEncoder& encoder) const {
    std::string address = InlineImage(index);
    if (!address.empty()) return address;
    const std::wstring shown = ShownPath(index);
    return shown.empty() ? url : encoder.Text(FileUrl(shown));
  }
};

// How a page writer ended.
enum TPageResult : uint8_t {
  prDone,                // the whole page, unless a write failed (the sink says so)
  prTemplateUnreadable,  // a template file is missing or cannot be read
  prLineTooLong,         // a template line grows beyond kMaxPageLine
  prNoMemory,            // a large block could not be had
};

struct TPageOutcome {
  TPageResult Result = prDone;
  std::string Template;  // the template file concerned, by name
};
