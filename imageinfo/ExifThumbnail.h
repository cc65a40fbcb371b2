// The small JPEG that cameras and phones store in a JPEG's Exif block (its
// second directory, IFD1): found and copied out as bytes, never decoded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "imageinfo/ByteSource.h"
#include "imageinfo/DCImageInfo.h"

struct TExifThumbnail {
  uint64_t Offset = 0;  // where its bytes lie in the file
  uint32_t Length = 0;
  int32_t Width = 0;    // its own frame's size, as stored (not turned)
  int32_t Height = 0;
};

// Looks for the thumbnail of the JPEG that the probe has just read and kept
// open (KeepStream): in the Exif block the probe found, IFD1's JPEG offset
// and length, lying inside that block and starting a JPEG whose frame
// header gives its size. False when there is none or any of it does not
// hold. Reads the Exif block once.
bool FindExifThumbnail(const TDCImageInfo& probe, TExifThumbnail& thumbnail);

// The thumbnail's bytes as they are; false (bytes empty) when they cannot
// be read or start no JPEG.
bool ReadExifThumbnail(TByteSource& source, const TExifThumbnail& thumbnail, std::string& bytes);

// The thumbnail as a file of its own, shown as the picture is: for
// orientation 2 to 8 an Exif block holding only that orientation follows
// SOI, which a browser applies.
std::string TurnedThumbnail(std::string_view jpeg, int32_t orientation);
