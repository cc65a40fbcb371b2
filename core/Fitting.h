// Fitting a picture into a box, keeping its proportions: the thumbnail's
// size on the page, and the size of the copy made for it.
#pragma once

#include <cstdint>

struct TThumbSize {
  int32_t Width;
  int32_t Height;
};

// Fits a width x height image into the box, keeping its proportions and
// filling the box in one direction. When any of the four numbers is 0 the
// result is the box itself. Results beyond the 32-bit range are clamped.
TThumbSize FitThumbnail(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);

// True when FitThumbnail scales (all four numbers non-zero).
bool FittingApplies(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);
