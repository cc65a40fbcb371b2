#include "thumbnails/ThumbnailStep.h"

#include "imageinfo/ExifThumbnail.h"
#include "platform/Files.h"
#include "thumbnails/DataUri.h"
#include "thumbnails/Maker.h"
#include "thumbnails/Placeholder.h"
#include "thumbnails/Rules.h"

namespace {

// The kinds of key: beside a thumbnail (cnThumbnail) and a preview
// (cnPreview), a placeholder shown because no worker could run, which a
// later page does not take (it tries the worker again), and the picture
// index's record of a picture.
constexpr uint8_t kNoWorkerPlaceholder = 3;
constexpr uint8_t kProbeKind = 4;

// The picture index in the cache folder, and the most of it that is kept.
constexpr wchar_t kIndexName[] = L"pictures.idx";
constexpr size_t kMaxIndexBytes = 32u << 20;
// The camera thumbnails that a page carries in itself, at most: beyond
// that they are copies in the cache, which the browser fetches.
constexpr size_t kInlineBudget = 16u << 20;

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
  TLargeBuffer index;
  if (active_ && ReadWholeFile(cache_.Folder() + kIndexName, kMaxIndexBytes, index) == frRead)
    index_.Load(std::move(index));
}

bool TThumbnailStep::Keep(TPicture& picture, const uint8_t* exif, uint32_t length) {
  picture.ExifAt = static_cast<uint32_t>(store_.Size());
  picture.ExifLength = length;
  return store_.Append(exif, length);
}

std::string_view TThumbnailStep::ExifBytes(const TPicture& picture) const {
  return std::string_view(reinterpret_cast<const char*>(store_.Data()) + picture.ExifAt, picture.ExifLength);
}

bool TThumbnailStep::Recall(TPicture& picture, std::wstring_view path, uint64_t fileSize, TFileTime lastWrite) {
  if (!active_) return false;
  picture.ProbeKey = CopyKey(path, fileSize, lastWrite, 0, 0, kProbeKind);
  TPictureRecord r;
  const uint8_t* exif = nullptr;
  if (!index_.Find(picture.ProbeKey, r, exif)) return false;
  // A JPEG whose camera thumbnail was never looked for, and that now needs
  // one, is read again.
  if (r.ImageType == itJPEG && r.Exif == kExifNotLooked &&
      CopyNeed(thumbnailView_, r.ImageType, r.Width, r.Height, config_.Width, config_.Height) == cnThumbnail)
    return false;
  CopyProbeResult(picture, r);
  picture.Exif = r.Exif;
  picture.ExifWidth = r.ExifWidth;
  picture.ExifHeight = r.ExifHeight;
  if (r.Exif == kExifPresent && !Keep(picture, exif, r.ExifLength)) picture.Exif = kExifNotLooked;
  picture.Known = 1;
  return true;
}

void TThumbnailStep::Learn(TPicture& picture, const TDCImageInfo& probe) {
  if (!active_ || picture.ProbeKey == 0) return;
  picture.Known = 1;
  picture.Exif = kExifNotLooked;
  if (picture.ImageType != itJPEG ||
      CopyNeed(thumbnailView_, picture.ImageType, picture.Width, picture.Height, config_.Width, config_.Height) !=
          cnThumbnail)
    return;
  TExifThumbnail exif;
  std::string bytes;
  picture.Exif = kExifNone;
  if (!FindExifThumbnail(probe, exif) || !ReadExifThumbnail(*probe.Stream, exif, bytes)) return;
  if (!Keep(picture, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()))) {
    picture.Exif = kExifNotLooked;
    return;
  }
  picture.Exif = kExifPresent;
  picture.ExifWidth = exif.Width;
  picture.ExifHeight = exif.Height;
}

void TThumbnailStep::Plan(TPicture& picture, std::wstring_view path, uint64_t fileSize, TFileTime lastWrite) {
  if (!active_) return;
  const TCopyNeed need = CopyNeed(thumbnailView_, picture.ImageType, picture.Width, picture.Height, config_.Width,
                                  config_.Height);
  picture.Need = need;
  // A file in the cloud or one that could not be opened keeps its own.
  if (need == cnNone || picture.Unread) return;
  const TThumbSize size = CopySize(need, picture.Width, picture.Height, config_.Width, config_.Height);
  picture.CopyWidth = size.Width;
  picture.CopyHeight = size.Height;
  picture.Key = CopyKey(path, fileSize, lastWrite, size.Width, size.Height, need);
  // A camera's own thumbnail, as it is: nothing decoded. The page carries
  // it in itself, as far as its bound allows; beyond that it is a copy.
  if (need == cnThumbnail && picture.Exif == kExifPresent &&
      StoredThumbnailServes(picture.ExifWidth, picture.ExifHeight, picture.Orientation, picture.Width, picture.Height,
                            config_.Width, config_.Height)) {
    if (inlineBytes_ + picture.ExifLength <= kInlineBudget) {
      inlineBytes_ += picture.ExifLength;
      picture.Inline = 1;
      return;
    }
    picture.Shown = cache_.Find(picture.Key);
    if (picture.Shown != ceNone) return;
    const std::string bytes = TurnedThumbnail(ExifBytes(picture), picture.Orientation);
    if (WriteWholeFile(cache_.Path(picture.Key, ceJpg), bytes)) {
      picture.Shown = ceJpg;
      cache_.Added(picture.Key, ceJpg, bytes.size());
      return;
    }
  }
  picture.Shown = cache_.Find(picture.Key);
  if (picture.Shown != ceNone) return;
  picture.Waiting = 1;
}

bool TThumbnailStep::MakeCopies(TLargeArray<TPicture>& pictures, const TSelection& selection, TJobProgress& progress) {
  if (!active_) return true;
  TWaitingJobs jobs(pictures, selection, cache_);
  // Without memory for the list, the pictures keep their own files.
  if (!jobs.Collect() || jobs.Count() == 0) return true;
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

std::string TThumbnailStep::InlineImage(const TPicture& picture) const {
  return picture.Inline ? JpegDataUri(TurnedThumbnail(ExifBytes(picture), picture.Orientation)) : std::string();
}

void TThumbnailStep::Finish(const TLargeArray<TPicture>& pictures) {
  if (!active_) return;
  // The picture index: this page's pictures first, then what it knew.
  TLargeArray<TPictureIndex::TFresh> fresh;
  for (size_t i = 0; i < pictures.Size(); ++i) {
    const TPicture& p = pictures[i];
    if (!p.Known) continue;
    TPictureIndex::TFresh f;
    f.Record.Key = p.ProbeKey;
    CopyProbeResult(f.Record, p);
    f.Record.Exif = p.Exif;
    f.Record.ExifWidth = p.ExifWidth;
    f.Record.ExifHeight = p.ExifHeight;
    f.Record.ExifLength = p.Exif == kExifPresent ? p.ExifLength : 0;
    f.ExifAt = p.ExifAt;
    if (!fresh.Push(f)) break;
  }
  TLargeBuffer index;
  const std::wstring written = cache_.Folder() + kIndexName + L".tmp";
  if (index_.Build(fresh, store_.Data(), kMaxIndexBytes, index) &&
      WriteWholeFile(written, index.View()) && !ReplaceFileWith(cache_.Folder() + kIndexName, written))
    RemoveFile(written);
  const int64_t megabytes = config_.ThumbCacheMB > 0 ? config_.ThumbCacheMB : 0;
  cache_.Trim(static_cast<uint64_t>(megabytes) << 20, kUnusedCopyAge);
}
