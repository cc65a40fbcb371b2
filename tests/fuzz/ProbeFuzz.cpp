// The probe over arbitrary bytes: never a crash, never a read outside its
// buffers, and always the results of the literal per-byte reading.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "imageinfo/DCImageInfo.h"
#include "tests/fuzz/ReferenceProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDCImageInfo info;
  info.ReadInfoFrom(std::make_unique<TMemorySource>(data, size));
  const reference::TResult want = reference::Probe(data, size);
  const reference::TResult got = {info.ImageType, info.Width, info.Height, info.Depth, info.FileSize, info.Orientation};
  if (!(got == want)) std::abort();
  if (info.ImageType == itNone && (info.Width || info.Height || info.Depth)) std::abort();
  if (info.Stream) std::abort();
  return 0;
}
