#pragma once

#include "gallery/PageItems.h"
#include "gallery/PageSink.h"
#include "core/PageEncoder.h"
#include "settings/PluginConfig.h"

// Writes the whole built-in page, its names and paths in the encoder's
// bytes: head, the home link to homeLink (an address that may stand bare in
// an attribute), one linked image per item (fitted into the box in the
// thumbnail view, at its own size otherwise; its source the item's
// stand-in where it has one, the link always the picture), a row break
// after every n-th image, and the end. Stops at the first write that fails
// (the sink keeps that state).
TPageOutcome WriteBuiltInPage(TPageSink& page, const TPageItems& items, const TPluginConfig& config,
                              const std::string& homeLink, const TPageEncoder& encoder);
