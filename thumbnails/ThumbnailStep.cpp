#include "thumbnails/ThumbnailStep.h"

#include "imageinfo/DCImageInfo.h"
#include "imageinfo/ExifThumbnail.h"
#include "platform/Files.h"
#include "thumbnails/Maker.h"
#include "thumbnails/Placeholder.h"
#include "thumbnails/Rules.h"

namespace {

// The kinds of copy in a cache key: beside a thumbnail (cnThumbnail) and a
// preview (cnPreview), a placeholder shown because no worker could run,
// which a later page does not take (it tries the worker again).
constexpr uint8_t kNoWorkerPlaceholder = 3;

// The waiting pictures as jobs for the worker.
class TWaitingJobs final : public TJobList {
 public:
  TWaitingJobs(TLargeArray<TPicture>& pictures, const TSelection& selection, const TThumbnailCache& cache)
      : pictures_(pictures), selection_(selection), cache_(cache) {}
  bool Collect() {
    for (size_t i = 0; i < pictures_.Size(); ++i)
      if (pictures_[i].Waiting && !waiting_.Push(static_cast<int32_t>(i))) return false;
    return true;
  }
  size_t Count() const override { return waiting_.Size(); }
  TThumbJob Job(size_t index) const override {
    const TPicture& p = pictures_[static_cast<size_t>(waiting_[index])];
    TThumbJob job;
    job.Width = p.CopyWidth;
    job.Height = p.CopyHeight;
    job.Orientation = p.Orientation;
    job.Source = selection_.Path(p.Item);
    const std::wstring name = CopyFileName(p.Key, ceJpg);
    job.Target = cache_.Folder() + name.substr(0, name.size() - 4);
    return job;
  }
  void Ended(size_t index, const TJobState& state) override {
    TPicture& p = pictures_[static_cast<size_t>(waiting_[index])];
    p.Waiting = 0;
    Ends.Push({waiting_[index], state});
  }
  struct TEnd {
    int32_t Picture;
    TJobState State;
  };
  TLargeArray<TEnd> Ends;

 private:
  TLargeArray<TPicture>& pictures_;
  const TSelection& selection_;
  const TThumbnailCache& cache_;
  TLargeArray<int32_t> waiting_;
};

}  // namespace

TThumbnailStep::TThumbnailStep(const TPluginConfig& config, bool thumbnailView, std::wstring workerProgram)
    : config_(config), thumbnailView_(thumbnailView), workerProgram_(std::move(workerProgram)) {
  active_ = config.MakeThumbs != 0 && cache_.Open();
}

void TThumbnailStep::Plan(TPicture& picture, std::wstring_view path, uint64_t fileSize, TFileTime lastWrite,
                          TByteSource* source) {
  if (!active_) return;
  const TCopyNeed need = CopyNeed(thumbnailView_, picture.ImageType, picture.Width, picture.Height, config_.Width,
                                  config_.Height);
  picture.Need = need;
  // A file in the cloud or one that could not be opened keeps its own.
  if (need == cnNone || !source) return;
  const TThumbSize size = CopySize(need, picture.Width, picture.Height, config_.Width, config_.Height);
  picture.CopyWidth = size.Width;
  picture.CopyHeight = size.Height;
  picture.Key = CopyKey(path, fileSize, lastWrite, size.Width, size.Height, need);
  picture.Shown = cache_.Find(picture.Key);
  if (picture.Shown != ceNone) return;
  // A camera's own thumbnail, cut out as it is: nothing decoded.
  TExifThumbnail exif;
  std::string bytes;
  if (picture.ImageType == itJPEG && need == cnThumbnail && FindExifThumbnail(*source, exif) &&
      StoredThumbnailServes(exif.Width, exif.Height, picture.Orientation, picture.Width, picture.Height, config_.Width,
                            config_.Height) &&
      CopyExifThumbnail(*source, exif, picture.Orientation, bytes) &&
      WriteWholeFile(cache_.Path(picture.Key, ceJpg), bytes)) {
    picture.Shown = ceJpg;
    cache_.Added(picture.Key, ceJpg, bytes.size());
    return;
  }
  picture.Waiting = 1;
  ++waiting_;
}

bool TThumbnailStep::MakeCopies(TLargeArray<TPicture>& pictures, const TSelection& selection, TJobProgress& progress) {
  if (!active_ || waiting_ == 0) return true;
  TWaitingJobs jobs(pictures, selection, cache_);
  if (!jobs.Collect()) return true;  // without memory for the list, the pictures keep their own files
  const bool whole = RunThumbnailJobs(workerProgram_, jobs, progress);
  for (size_t i = 0; i < jobs.Ends.Size(); ++i) {
    TPicture& p = pictures[static_cast<size_t>(jobs.Ends[i].Picture)];
    const TJobState& state = jobs.Ends[i].State;
    if (state.End == jeMade) {
      p.Shown = state.Ext;
      cache_.Added(p.Key, state.Ext, uint64_t{static_cast<uint32_t>(p.CopyWidth)} * static_cast<uint32_t>(p.CopyHeight) / 4);
    } else if (state.End == jeNoWorker || (state.End == jeFailed && (state.Why == jfOpen || state.Why == jfWrite))) {
      // Without a worker, or a file that another program holds: its own
      // file where a browser shows it.
      if (!BrowserShows(p.ImageType)) {
        const TSelection::TItemInfo& item = selection.Info(p.Item);
        Placeholder(p, CopyKey(selection.PathView(p.Item), item.Size, item.LastWrite, p.CopyWidth, p.CopyHeight,
                               kNoWorkerPlaceholder));
      }
    } else if (state.End != jeWaiting) {
      Placeholder(p, p.Key);
    }
  }
  waiting_ = 0;
  return whole;
}

void TThumbnailStep::Placeholder(TPicture& picture, uint64_t key) {
  const std::string svg =
      PlaceholderSvg(picture.ImageType, picture.Width, picture.Height, picture.CopyWidth, picture.CopyHeight);
  if (!WriteWholeFile(cache_.Path(key, ceSvg), svg)) return;
  picture.Key = key;
  picture.Shown = ceSvg;
  cache_.Added(key, ceSvg, svg.size());
}

std::wstring TThumbnailStep::ShownPath(const TPicture& picture) const {
  return picture.Shown == ceNone ? std::wstring() : cache_.Path(picture.Key, static_cast<TCopyExt>(picture.Shown));
}

void TThumbnailStep::Finish() {
  if (!active_) return;
  const int64_t megabytes = config_.ThumbCacheMB > 0 ? config_.ThumbCacheMB : 0;
  cache_.Trim(static_cast<uint64_t>(megabytes) << 20, kUnusedCopyAge);
}
