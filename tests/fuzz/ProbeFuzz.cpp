// The probe over arbitrary bytes: never a crash, never a read outside its
// buffers, a cost bounded by the input's length (bytes read and reads of the
// window, so that no input makes any reader walk the same bytes over and
// over), and for the six older formats always the results of the literal
// per-byte reading. The newer formats have no second reading; for them the
// result must hold together.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "imageinfo/DCImageInfo.h"
#include "imageinfo/ExifThumbnail.h"
#include "tests/fuzz/ReferenceProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDCImageInfo info;
  info.ReadInfoFrom(std::make_unique<TMemorySource>(data, size));
  const reference::TResult got = {info.ImageType, info.Width, info.Height, info.Depth, info.FileSize, info.Orientation};
  if (info.ImageType >= itWebP) {
    if (info.Width < 0 || info.Height < 0 || info.Failure != pfNone) std::abort();
  } else if (!(got == reference::Probe(data, size))) {
    std::abort();
  }
  if (info.ImageType == itNone && (info.Width || info.Height || info.Depth || info.Failure == pfNone)) std::abort();
  if (info.Stream) std::abort();
  if (!reference::CostIsBounded(info.BytesRead, info.Steps, size)) std::abort();
  // A camera's thumbnail, cut from the Exif block the probe found: a JPEG
  // inside the file.
  if (info.ExifAt != 0) {
    TDCImageInfo kept;
    kept.KeepStream = true;
    kept.ReadInfoFrom(std::make_unique<TMemorySource>(data, size));
    TExifThumbnail thumbnail;
    std::string bytes;
    if (FindExifThumbnail(kept, thumbnail) &&
        (thumbnail.Offset + thumbnail.Length > size || !ReadExifThumbnail(*kept.Stream, thumbnail, bytes)))
      std::abort();
  }
  return 0;
}
