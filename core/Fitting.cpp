#include "core/Fitting.h"

#include <limits>

namespace {

int32_t TruncateToInt32(double v) {
  // Converting a value outside the range is undefined; clamp it first.
  if (!(v > -2147483649.0)) return std::numeric_limits<int32_t>::min();
  if (!(v < 2147483648.0)) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

}  // namespace

bool FittingApplies(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight) {
  return width != 0 && height != 0 && boxWidth != 0 && boxHeight != 0;
}

TThumbSize FitThumbnail(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight) {
  if (!FittingApplies(width, height, boxWidth, boxHeight)) return {boxWidth, boxHeight};
  const double a = static_cast<double>(height) / boxHeight;
  const double b = static_cast<double>(width) / boxWidth;
  // The products are taken in 64 bits, so they are exact before the division.
  if (a > b)
    return {TruncateToInt32(static_cast<double>(int64_t{width} * boxHeight) / height), boxHeight};
  return {boxWidth, TruncateToInt32(static_cast<double>(int64_t{height} * boxWidth) / width)};
}
