// Image header probe: recognises an image file by its first bytes and reads
// its width, height and colour depth from the header, without decoding
// pixels. One reader per format lives in imageinfo/formats/; the size is the
// one a browser shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "imageinfo/BlockReader.h"
#include "imageinfo/ByteSource.h"
#include "platform/PathName.h"

enum TImageType : uint8_t {
  itNone = 0,
  itGIF = 1,
  itJPEG = 2,
  itPNG = 3,
  itBMP = 4,
  itPCX = 5,
  itTIFF = 6,
  itWebP = 7,
  itAVIF = 8,
  itHEIF = 9,
  itJXL = 10,
  itICO = 11,
  itSVG = 12,
};

// The JPEG start marker is searched for below this offset, and the search
// for each next marker of the walk examines this many positions in all.
// The walk itself follows segment lengths wherever they lead, so a frame
// header behind large Exif and colour-profile blocks is found, while the
// cost of any file stays bounded.
constexpr int32_t kJpegWindow = 20000;
constexpr int32_t kMarkerSearchBudget = 20000;

class TDCImageInfo {
 public:
  std::unique_ptr<TByteSource> Stream;  // while ReadInfo runs, and after it with KeepStream
  // True: ReadInfo leaves the file open in Stream, for the caller to read
  // more of it (the Exif thumbnail) and release.
  bool KeepStream = false;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Depth = 0;
  uint8_t ImageType = itNone;
  // Length of the last file probed; 0 when it could not be opened, and
  // 2147483647 for files of 2 GiB or more.
  int32_t FileSize = 0;
  // Orientation of the last picture probed as its file records it (1 to 8,
  // as cameras write it: Exif in a JPEG, tag 274 in a TIFF, the JPEG XL
  // header), 0 when it has none or got no size. With 5 to 8 the picture is shown turned by
  // a quarter, and Width and Height are the size as shown.
  int32_t Orientation = 0;
  // Where the JPEG's Exif block lies: the offset of its APP1 marker and the
  // segment's length field; 0 when the picture has none.
  uint64_t ExifAt = 0;
  uint32_t ExifLength = 0;
  // Why the last file probed got no size; pfNone when it got one.
  TProbeFailure Failure = pfNone;
  // What probing the last file cost: bytes read from it, and reads of the
  // readers' window. Bounded by a multiple of the file's length.
  uint64_t BytesRead = 0, Steps = 0;

  // Probes one file, named in UTF-16 (or, for the tools, in the ANSI code
  // page). Whatever goes wrong leaves a cleared result; nothing is raised.
  void ReadInfo(const std::wstring& fileName);
  void ReadInfo(const std::string& ansiFileName);
  // The same over a source that is already open; the source is released
  // before the call returns.
  void ReadInfoFrom(std::unique_ptr<TByteSource> source);

  // ImageType, Width, Height and Depth := 0; FileSize, Orientation and
  // Failure are kept.
  void Clear();

 private:
  void ReadFile(std::unique_ptr<TByteSource> source);
};
