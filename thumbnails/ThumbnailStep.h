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
#include "imageinfo/ByteSource.h"
#include "platform/LargeMemory.h"
#include "settings/PluginConfig.h"
#include "thumbnails/Cache.h"

class TThumbnailStep {
 public:
  // Copies are made when the settings ask for them and a cache folder can
  // be written; workerProgram is GalvoraThumbs.exe beside the DLL.
  TThumbnailStep(const TPluginConfig& config, bool thumbnailView, std::wstring workerProgram);
  bool Active() const { return active_; }

  // After the picture has been probed, with its file still open (null:
  // not opened, as a file in the cloud): decides what the page shows, and
  // takes the copy from the cache or the Exif thumbnail where it can;
  // otherwise the picture waits for the worker.
  void Plan(TPicture& picture, std::wstring_view path, uint64_t fileSize, TFileTime lastWrite, TByteSource* source);

  // Makes the copies that wait, with the worker; a picture that gets none
  // is shown by its own file where browsers show it, else by a
  // placeholder. False when the user stopped it (Esc).
  bool MakeCopies(TLargeArray<TPicture>& pictures, const TSelection& selection, TJobProgress& progress);

  // The stand-in's path, or empty for the picture's own file.
  std::wstring ShownPath(const TPicture& picture) const;

  // Trims the cache to its bound (after the page has opened).
  void Finish();

 private:
  void Placeholder(TPicture& picture, uint64_t key);

  const TPluginConfig& config_;
  bool thumbnailView_;
  std::wstring workerProgram_;
  TThumbnailCache cache_;
  bool active_ = false;
  int waiting_ = 0;
};
