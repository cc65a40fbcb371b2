// What the page shows for a picture when it makes small copies: the
// picture's own file, a copy fitted into twice the thumbnail box (sharp on
// screens of twice the density), a preview for the full-size view of a
// picture that browsers cannot show, or a placeholder where nothing can be
// decoded. Portable: sizes and types only.
#pragma once

#include <cstdint>

#include "core/Fitting.h"

// The picture's own file, a copy fitted into twice the box, or a preview.
enum TCopyNeed : uint8_t { cnNone, cnThumbnail, cnPreview };

// The longest side of a preview for the full-size view.
constexpr int32_t kPreviewSide = 2048;

// True for the types every browser shows (JPEG, PNG, GIF, BMP, WebP, AVIF,
// JPEG XL, icons, SVG); HEIF, TIFF and PCX it does not, nor what the probe
// did not recognise.
bool BrowserShows(uint8_t imageType);

// What a picture of this type and size (as shown) needs. In the thumbnail
// view: a copy, unless it is an SVG, or the browser shows it and its pixels
// are at most four times those of the doubled box (little to gain). In the
// full-size view: a preview where the browser cannot show it.
TCopyNeed CopyNeed(bool thumbnailView, uint8_t imageType, int32_t width, int32_t height, int32_t boxWidth,
                   int32_t boxHeight);

// The copy's size: the picture fitted into twice the box, or (preview) into
// kPreviewSide on its long side; never larger than the picture. A picture
// without a size gets the doubled box (or the preview's square).
TThumbSize CopySize(TCopyNeed need, int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);

// True when a stored thumbnail of thumbWidth x thumbHeight (as stored: not
// turned) serves a picture shown at width x height (turned by the
// orientation, 5 to 8 a quarter turn): it covers the box at its own size
// (the fitted thumbnail) and its proportions match the picture's within 1%.
bool StoredThumbnailServes(int32_t thumbWidth, int32_t thumbHeight, int32_t orientation, int32_t width, int32_t height,
                           int32_t boxWidth, int32_t boxHeight);
