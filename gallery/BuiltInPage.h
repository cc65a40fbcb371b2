#pragma once

#include "gallery/PageItems.h"
#include "gallery/PageSink.h"
#include "imageinfo/DCImageInfo.h"
#include "settings/PluginConfig.h"

// Address of the home link at the top of the built-in page.
extern const char* const kHomePage;

// Writes the whole built-in page: head, home link, one linked image per item
// (fitted into the box in the thumbnail view, at its own size otherwise), a
// row break after every n-th image, and the end. Stops at the first write
// that fails (the sink keeps that state).
void WriteBuiltInPage(TPageSink& page, const TPageItems& items, TDCImageInfo& probe,
                      const TPluginConfig& config);
