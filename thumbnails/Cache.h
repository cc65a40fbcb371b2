// The cache of copies: %LOCALAPPDATA%\Galvora\Thumbnails (the temporary
// folder's Galvora\Thumbnails where that cannot be written). A copy's file
// name says what it was made of (thumbnails/CacheName.h); its last-write
// time says when a page last used it, and the least recently used go first
// when the cache outgrows its bound.
#pragma once

#include <cstdint>
#include <string>

#include "platform/LargeMemory.h"
#include "thumbnails/CacheName.h"

// A day, and 30 days, in file-time units (100 ns).
constexpr uint64_t kFileTimeDay = 864000000000ull;
constexpr uint64_t kUnusedCopyAge = 30 * kFileTimeDay;

class TThumbnailCache {
 public:
  // Picks the first folder that can be written and indexes its copies;
  // what a worker left half-written a day ago goes. False when no folder
  // can be written: the page then shows the pictures' own files.
  bool Open();
  const std::wstring& Folder() const { return folder_; }
  std::wstring Path(uint64_t key, TCopyExt ext) const { return folder_ + CopyFileName(key, ext); }

  // The extension of the key's copy, or ceNone. A copy found is marked as
  // used now (where its mark is older than a day).
  TCopyExt Find(uint64_t key);
  // Notes a copy made now.
  void Added(uint64_t key, TCopyExt ext, uint64_t bytes);

  // Removes the copies unused for longer than maxAge, then the least
  // recently used ones until the rest takes at most maxBytes. The copies of
  // this job's page stay (the browser may still be reading them).
  void Trim(uint64_t maxBytes, uint64_t maxAge);

 private:
  struct TEntry {
    uint64_t Key;
    uint64_t Bytes;
    uint64_t Used;  // last-write time
    uint8_t Ext;
    bool InUse;     // shown by the page of this job: never removed by it
  };
  std::wstring folder_;
  TLargeArray<TEntry> entries_;  // sorted by key up to sorted_
  size_t sorted_ = 0;
  uint64_t now_ = 0;
};

// The folders a cache may be in, in the order they are tried, each ending
// in a backslash; and the copies of each unused for longer than maxAge
// removed (the clean-up command).
std::wstring CacheFolder(int choice);
void RemoveUnusedCopies(uint64_t maxAge);
