#include "thumbnails/Rules.h"

#include "imageinfo/DCImageInfo.h"

bool BrowserShows(uint8_t imageType) {
  switch (imageType) {
    case itJPEG: case itPNG: case itGIF: case itBMP: case itWebP: case itAVIF: case itJXL: case itICO: case itSVG:
      return true;
    default:
      return false;
  }
}

TCopyNeed CopyNeed(bool thumbnailView, uint8_t imageType, int32_t width, int32_t height, int32_t boxWidth,
                   int32_t boxHeight) {
  if (!thumbnailView) return BrowserShows(imageType) ? cnNone : cnPreview;
  if (boxWidth <= 0 || boxHeight <= 0 || imageType == itSVG) return cnNone;
  if (!BrowserShows(imageType)) return cnThumbnail;
  const int64_t pixels = int64_t{width} * height;
  const int64_t doubledBox = 4 * int64_t{boxWidth} * boxHeight;
  return width > 0 && height > 0 && pixels <= 4 * doubledBox ? cnNone : cnThumbnail;
}

TThumbSize CopySize(TCopyNeed need, int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight) {
  const int32_t w = need == cnPreview ? kPreviewSide : 2 * boxWidth;
  const int32_t h = need == cnPreview ? kPreviewSide : 2 * boxHeight;
  if (width <= 0 || height <= 0) return {w, h};
  if (width <= w && height <= h) return {width, height};
  TThumbSize fitted = FitThumbnail(width, height, w, h);
  if (fitted.Width < 1) fitted.Width = 1;
  if (fitted.Height < 1) fitted.Height = 1;
  return fitted;
}

bool StoredThumbnailServes(int32_t thumbWidth, int32_t thumbHeight, int32_t orientation, int32_t width, int32_t height,
                           int32_t boxWidth, int32_t boxHeight) {
  if (thumbWidth <= 0 || thumbHeight <= 0 || width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return false;
  int64_t w = thumbWidth, h = thumbHeight;
  if (orientation >= 5 && orientation <= 8) {
    const int64_t t = w;
    w = h;
    h = t;
  }
  // Proportions within 1%: |w/h - W/H| <= (W/H) / 100, in integers.
  const int64_t a = w * height, b = int64_t{width} * h;
  if ((a > b ? a - b : b - a) * 100 > b) return false;
  const TThumbSize shown = FitThumbnail(width, height, boxWidth, boxHeight);
  return w >= shown.Width && h >= shown.Height;
}
