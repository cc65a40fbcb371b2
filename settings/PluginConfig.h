// The plugin's settings record. Nine fields persist in the registry or the
// host's store; the view flag Thumbnails is set by the command menu and
// never stored.
#pragma once

#include <cstdint>
#include <string>

#include "core/SettingsStore.h"

struct TPluginConfig {
  int32_t Template = 0;    // non-zero: pages come from the user's template files
  int32_t Thumbnails = 0;  // 0: full-size view; -1: thumbnail view
  int32_t Blank = 0;       // non-zero: image links open a new browser window
  int32_t Cols = 0;        // images per row, full-size view; 0: no breaks
  int32_t ColsTh = 0;      // images per row, thumbnail view; 0: no breaks
  int32_t Width = 0;       // thumbnail box
  int32_t Height = 0;
  std::string BgColor;     // page background: hex digits or a colour's name (UTF-8)
  int32_t MakeThumbs = 0;  // non-zero: the page shows small copies made for it
  int32_t ThumbCacheMB = 0;  // the copies kept, in megabytes
};

// Zero-filled at load; LoadSettings fills it when the host hands over its table.
extern TPluginConfig PluginConfig;

// Reads all nine persistent settings into PluginConfig, in one session.
void LoadSettings(TSettingsStore& store);
void LoadSettings(TSettingsSession& session);
// Stores the eight of the settings dialog, in the record's order, in one
// session (the cache's size is set in the registry or store only).
void StoreSettings(TSettingsStore& store);
