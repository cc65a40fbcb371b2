#include "thumbnails/Cache.h"

#include <algorithm>

#include "platform/Files.h"
#include "platform/TempFolder.h"

namespace {

constexpr int kFolderChoices = 2;

// A copy's file, or a worker's half-written one (16 hex digits and ".tmp").
bool IsWorkerLeftover(std::wstring_view name) {
  uint64_t key;
  TCopyExt ext;
  return name.size() == 20 && name.substr(16) == L".tmp" &&
         ParseCopyFileName(std::wstring(name.substr(0, 16)) + L".jpg", key, ext);
}

}  // namespace

std::wstring CacheFolder(int choice) {
  const std::wstring base = choice == 0 ? LocalAppDataFolder() : choice == 1 ? GetTempFolder() : std::wstring();
  return base.empty() ? base : base + L"Galvora\\Thumbnails\\";
}

bool TThumbnailCache::Open() {
  now_ = NowFileTime();
  for (int choice = 0; choice < kFolderChoices; ++choice) {
    const std::wstring folder = CacheFolder(choice);
    if (folder.empty() || !CreateFolderPath(folder) || !CanWriteIn(folder)) continue;
    folder_ = folder;
    TFileList files(folder_);
    while (files.Next()) {
      uint64_t key;
      TCopyExt ext;
      if (ParseCopyFileName(files.Name(), key, ext)) {
        if (!entries_.Push({key, files.Size(), files.LastWrite(), ext, false})) break;  // a partial index only costs copies made again
      } else if (IsWorkerLeftover(files.Name()) && now_ - files.LastWrite() > kFileTimeDay) {
        // Half-written by a worker that was ended, a day ago or more.
        RemoveFile(folder_ + std::wstring(files.Name()));
      }
    }
    std::sort(entries_.Data(), entries_.Data() + entries_.Size(),
              [](const TEntry& a, const TEntry& b) { return a.Key < b.Key; });
    sorted_ = entries_.Size();
    return true;
  }
  return false;
}

TCopyExt TThumbnailCache::Find(uint64_t key) {
  TEntry* first = entries_.Data();
  TEntry* last = first + sorted_;
  TEntry* at = std::lower_bound(first, last, key, [](const TEntry& e, uint64_t k) { return e.Key < k; });
  if (at == last || at->Key != key) return ceNone;
  at->InUse = true;
  if (now_ - at->Used > kFileTimeDay && SetLastWriteTime(Path(key, static_cast<TCopyExt>(at->Ext)), now_))
    at->Used = now_;
  return static_cast<TCopyExt>(at->Ext);
}

void TThumbnailCache::Added(uint64_t key, TCopyExt ext, uint64_t bytes) {
  entries_.Push({key, bytes, now_, ext, true});
}

void TThumbnailCache::Trim(uint64_t maxBytes, uint64_t maxAge) {
  if (folder_.empty()) return;
  TEntry* first = entries_.Data();
  TEntry* last = first + entries_.Size();
  std::sort(first, last, [](const TEntry& a, const TEntry& b) { return a.Used < b.Used; });
  uint64_t total = 0;
  for (TEntry* e = first; e != last; ++e) total += e->Bytes;
  for (TEntry* e = first; e != last; ++e) {
    if (total <= maxBytes && now_ - e->Used <= maxAge) break;
    if (!e->InUse && RemoveFile(Path(e->Key, static_cast<TCopyExt>(e->Ext)))) total -= e->Bytes;
  }
  entries_.Clear();
  sorted_ = 0;
}

void RemoveUnusedCopies(uint64_t maxAge) {
  const uint64_t now = NowFileTime();
  for (int choice = 0; choice < kFolderChoices; ++choice) {
    const std::wstring folder = CacheFolder(choice);
    if (folder.empty()) continue;
    TFileList files(folder);
    while (files.Next()) {
      uint64_t key;
      TCopyExt ext;
      if ((ParseCopyFileName(files.Name(), key, ext) || IsWorkerLeftover(files.Name())) &&
          now - files.LastWrite() > maxAge)
        RemoveFile(folder + std::wstring(files.Name()));
    }
  }
}
