// Message numbers: the line order of GalvoraEng.lng and GalvoraRus.lng.
// The numbers are an interface with the language files; never renumber.
#pragma once

enum TLangMsg : int {
  MTitle = 0,
  MColsLabel = 1,
  MColsThLabel = 2,
  MBgColorLabel = 3,
  MWidthLabel = 4,
  MHeightLabel = 5,
  MNewWindow = 6,
  MMenuFullSize = 7,
  MMenuThumbnails = 8,
  MMenuClipboard = 9,
  MMenuCleanup = 10,
  MMenuConfigure = 11,
  MUseTemplates = 12,
  MOk = 13,
  MCancel = 14,
  MReadingImages = 15,
  MOfTotal = 16,
  MNotEnoughMemory = 17,
  MNoTempFolder = 18,
  MCannotReadTemplate = 19,
  MInFolder = 20,
  MTemplateLineTooLong = 21,
  MNotANumber = 22,
  MGuideFile = 23,
  MNoFilePanel = 24,
  MNotAColour = 25,
  MNoPictures = 26,
  MCannotWritePage = 27,
  MMakeThumbnails = 28,
  MMakingThumbnails = 29,
};

constexpr int kMessageCount = 30;

// Topics of the help files (GalvoraEng.hlf, GalvoraRus.hlf) that F1 opens.
constexpr const char* kMenuHelpTopic = "Menu";
