// What earlier pages learnt of their pictures, kept in the cache folder
// (pictures.idx): each picture's probe result and the Exif thumbnail it
// carries, by a key of its path, length and last-write time. A later page
// of the same pictures opens none of them: the page of 1,000 phone photos
// comes from one read of this file.
#pragma once

#include <cstdint>

#include "platform/LargeMemory.h"

struct TPictureRecord {
  uint64_t Key = 0;
  uint8_t ImageType = 0;
  uint8_t Exif = 0;  // its Exif thumbnail: 0 not looked for, 1 none, 2 the bytes follow
  int32_t Orientation = 0, Width = 0, Height = 0, Depth = 0, FileSize = 0;
  int32_t ExifWidth = 0, ExifHeight = 0;  // as stored, not turned
  uint32_t ExifLength = 0;
};

enum : uint8_t { kExifNotLooked = 0, kExifNone = 1, kExifPresent = 2 };

class TPictureIndex {
 public:
  // Takes an index file's bytes; a file of another form counts as empty,
  // and a damaged tail is dropped.
  void Load(TLargeBuffer&& bytes);
  // The record of the key, with its Exif bytes; false when there is none.
  bool Find(uint64_t key, TPictureRecord& record, const uint8_t*& exif) const;

  // The new index file: the fresh records first (their Exif bytes at
  // ExifAt in `bytes`), then the old ones that are not among them, as far
  // as maxBytes allow. False when there is no memory for it.
  struct TFresh {
    TPictureRecord Record;
    uint32_t ExifAt;
  };
  bool Build(const TLargeArray<TFresh>& fresh, const uint8_t* bytes, size_t maxBytes, TLargeBuffer& out) const;

 private:
  struct TEntry {
    uint64_t Key;
    size_t At;  // the record in file_
  };
  TLargeBuffer file_;
  TLargeArray<TEntry> entries_;  // sorted by key
};
