// The page job's step between the probe and the page writers: for every
// picture, what the page shows (its own file, a copy fitted into twice the
// thumbnail box, a preview, or a placeholder) and the copies made: taken
// from the cache, cut from the Exif thumbnail of a camera's JPEG without
// decoding anything, or made by the worker outside the host's process.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/JobProgress.h"
#include "core/Picture.h"
#include "core/Selection.h"
#include "imageinfo/DCImageInfo.h"
#include "platform/LargeMemory.h"
#include "settings/PluginConfig.h"
#include "thumbnails/Cache.h"
#include "thumbnails/PictureIndex.h"

class TThumbnailStep {
 public:
  // Copies are made when the settings ask for them and a cache folder can
  // be written; workerProgram is GalvoraThumbs.exe beside the DLL.
  TThumbnailStep(const TPluginConfig& config, bool thumbnailView, std::wstring workerProgram);
  bool Active() const { return active_; }

  // The picture as an earlier page learnt it, from the picture index;
  // false when its file must be read.
  bool Recall(TPicture& picture, std::wstring_view path, uint64_t fileSize, TFileTime lastWrite);
  // After the picture's file has been probed, while the probe still holds
  // it open: notes what was learnt, and keeps the camera's thumbnail where
  // the page may show it.
  void Learn(TPicture& picture, const TDCImageInfo& probe);
  // Decides what the page shows: the camera's thumbnail (in the page
  // itself), a copy from the cache, or one the worker makes.
  void Plan(TPicture& picture, std::wstring_view path, uint64_t fileSize, TFileTime lastWrite);

  // Makes the copies that wait, with the worker; a picture that gets none
  // is shown by its own file where browsers show it, else by a
  // placeholder. False when the user stopped it (Esc).
  bool MakeCopies(TLargeArray<TPicture>& pictures, const TSelection& selection, TJobProgress& progress);

  // The stand-in's path, or empty for the picture's own file.
  std::wstring ShownPath(const TPicture& picture) const;
  // The picture that the page carries in itself, as a data: address; empty
  // for none.
  std::string InlineImage(const TPicture& picture) const;

  // Keeps what this page learnt in the picture index, and trims the cache
  // to its bound (after the page has opened).
  void Finish(const TLargeArray<TPicture>& pictures);

 private:
  void Placeholder(TPicture& picture, uint64_t key);
  bool Keep(TPicture& picture, const uint8_t* exif, uint32_t length);
  std::string_view ExifBytes(const TPicture& picture) const;

  const TPluginConfig& config_;
  bool thumbnailView_;
  std::wstring workerProgram_;
  TThumbnailCache cache_;
  TPictureIndex index_;
  TLargeArray<uint8_t> store_;  // the camera thumbnails of this page's pictures
  bool active_ = false;
  size_t inlineBytes_ = 0;
};
