// What the plugin and its thumbnail worker (GalvoraThumbs.exe) say to each
// other over the worker's standard input and output: one line per message,
// UTF-8, fields separated by tabs (no file name holds a tab or a line end).
//
//   to the worker:    J id width height orientation source target
//                     (make a copy of source fitted into width x height,
//                     turned by the orientation, as target + ".jpg" or
//                     ".png"; the input's end: no more work)
//   from the worker:  W threads           ready, with the system's decoders
//                     X reason            cannot decode anything (no WIC)
//                     R id ext            the copy is made (jpg or png)
//                     F id reason         no copy (nodecoder, large, damaged, write, open)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "thumbnails/CacheName.h"

struct TThumbJob {
  uint32_t Id = 0;
  int32_t Width = 0, Height = 0;  // the copy's size at most, as shown
  int32_t Orientation = 0;        // 1 to 8 as cameras write it; 0 none
  std::wstring Source, Target;    // Target without its extension
};

enum TJobFailure : uint8_t { jfNone, jfNoDecoder, jfTooLarge, jfDamaged, jfWrite, jfOpen };

struct TWorkerMessage {
  char Kind = 0;  // 'W', 'X', 'R' or 'F'
  uint32_t Id = 0;
  TCopyExt Ext = ceNone;
  TJobFailure Why = jfNone;
  int32_t Threads = 0;
};

std::string JobLine(const TThumbJob& job);
bool ParseJobLine(std::string_view line, TThumbJob& job);

std::string ReadyLine(int32_t threads);
std::string NoDecoderLine();
std::string DoneLine(uint32_t id, TCopyExt ext);
std::string FailedLine(uint32_t id, TJobFailure why);
bool ParseWorkerLine(std::string_view line, TWorkerMessage& message);
