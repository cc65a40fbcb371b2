#include "imageinfo/DCImageInfo.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "imageinfo/formats/Formats.h"

using namespace formats;

namespace {

// Runs one reader; a reader that left a verdict leaves a cleared result,
// and the first verdict of the file is kept as its reason.
void Run(TDCImageInfo& info, TBlockReader& in, void (*reader)(TDCImageInfo&, TBlockReader&), TProbeFailure& why) {
  in.ClearVerdict();
  reader(info, in);
  if (!in.Failed()) return;
  info.Clear();
  if (why == pfNone) why = in.Verdict();
}

}  // namespace

namespace formats {

void SetSize(TDCImageInfo& info, TBlockReader& in, uint64_t width, uint64_t height) {
  if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) {
    in.Fail(pfDamaged);
    return;
  }
  info.Width = static_cast<int32_t>(width);
  info.Height = static_cast<int32_t>(height);
}

}  // namespace formats

void TDCImageInfo::Clear() {
  ImageType = itNone;
  Width = 0;
  Height = 0;
  Depth = 0;
}

void TDCImageInfo::ReadInfo(const std::string& ansiFileName) { ReadFile(OpenFileSource(ansiFileName, cpAnsi)); }

void TDCImageInfo::ReadInfo(const std::wstring& fileName) { ReadFile(OpenFileSource(fileName)); }

void TDCImageInfo::ReadFile(std::unique_ptr<TByteSource> source) {
  if (!source) {
    Clear();
    Orientation = 0;
    ExifAt = ExifLength = 0;
    FileSize = 0;
    Failure = pfUnreadable;
    return;
  }
  ReadInfoFrom(std::move(source));
}

void TDCImageInfo::ReadInfoFrom(std::unique_ptr<TByteSource> source) {
  Clear();
  Orientation = 0;
  ExifAt = ExifLength = 0;
  Failure = pfNone;
  Stream = std::move(source);
  const uint64_t size = Stream->Size();
  FileSize = static_cast<int32_t>(std::min<uint64_t>(size, std::numeric_limits<int32_t>::max()));
  TBlockReader in(*Stream);
  // The first bytes, as far as the file has them; the readers that look
  // further (icons, SVG) may move the window, so it is asked for again.
  const uint8_t* head = nullptr;
  auto first = [&] { return in.View(0, 0, kFirstRead, head); };
  size_t n = first();
  TProbeFailure why = pfNone;
  if (n >= 3) {
    // The signatures, in this order; then the formats that need a closer
    // look; the JPEG scan is the catch-all.
    if (IsPNG(head, n)) Run(*this, in, ReadPNG, why);
    else if (IsGIF(head, n)) Run(*this, in, ReadGIF, why);
    else if (IsBMP(head, n)) Run(*this, in, ReadBMP, why);
    else if (IsTIFF(head, n)) Run(*this, in, ReadTIFF, why);
    else if (IsWebP(head, n)) Run(*this, in, ReadWebP, why);
    else if (IsHEIF(head, n)) Run(*this, in, ReadHEIF, why);
    else if (IsJXL(head, n)) Run(*this, in, ReadJXL, why);
    else if (IsICO(in, head, n)) Run(*this, in, ReadICO, why);
    else if (n = first(), IsPCX(head, n)) Run(*this, in, ReadPCX, why);
    else if (IsSVG(in, head, n)) Run(*this, in, ReadSVG, why);
    else if (n = first(), IsGzip(head, n)) why = pfUnsupported;
    if (ImageType == itNone) {
      TProbeFailure scan = pfNone;
      Run(*this, in, ScanJPEG, scan);
      if (ImageType == itNone) Failure = why != pfNone ? why : scan != pfNone ? scan : pfUnrecognised;
    }
    // A file without a size has no orientation or Exif block either,
    // whatever a reader met on its way.
    if (ImageType == itNone) {
      Orientation = 0;
      ExifAt = ExifLength = 0;
    }
  } else {
    Failure = pfUnrecognised;
  }
  BytesRead = in.BytesLoaded();
  Steps = in.Steps();
  if (!KeepStream) Stream.reset();
}

size_t TMemorySource::ReadAt(uint64_t offset, void* buffer, size_t n) {
  if (offset >= size_) return 0;
  size_t count = std::min<uint64_t>(n, size_ - offset);
  std::memcpy(buffer, data_ + offset, count);
  return count;
}
