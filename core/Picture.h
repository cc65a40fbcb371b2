// A picture of a page as the page job knows it: the selected item it is,
// what the probe found, and what the page shows for it.
#pragma once

#include <cstdint>

struct TPicture {
  int32_t Item = 0;  // its index in the selection
  int32_t Width = 0, Height = 0, Depth = 0, FileSize = 0, Orientation = 0;
  uint8_t ImageType = 0;
  uint8_t Unread = 0;   // its file was not opened (in the cloud, or it cannot be)
  uint8_t Need = 0;     // what it needs from the thumbnail step (TCopyNeed)
  uint8_t Shown = 0;    // the stand-in the page shows (TCopyExt); 0: the picture's own file
  uint8_t Inline = 0;   // the page carries its camera's thumbnail in itself
  uint8_t Waiting = 0;  // its copy waits for the worker
  uint8_t Known = 0;    // the picture index has it (or will have it)
  uint8_t Exif = 0;     // its camera's thumbnail: not looked for, none, or the bytes below
  int32_t ExifWidth = 0, ExifHeight = 0;  // as stored
  uint32_t ExifAt = 0, ExifLength = 0;    // its bytes in the thumbnail step's store
  int32_t CopyWidth = 0, CopyHeight = 0;  // the size its copy is made at
  uint64_t ProbeKey = 0;  // what the picture index knows it by
  uint64_t Key = 0;       // its copy's name in the cache
};

// What a probe found, from one record to another (the probe, a picture,
// the picture index's record): type, size, depth, length and orientation.
template <typename TTo, typename TFrom>
void CopyProbeResult(TTo& to, const TFrom& from) {
  to.ImageType = from.ImageType;
  to.Width = from.Width;
  to.Height = from.Height;
  to.Depth = from.Depth;
  to.FileSize = from.FileSize;
  to.Orientation = from.Orientation;
}
