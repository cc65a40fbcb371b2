#include "thumbnails/PictureIndex.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kSignature[8] = {'G', 'L', 'V', 'P', 'I', 'D', 'X', '1'};
constexpr size_t kRecordSize = 44;

uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Reads the record at p (kRecordSize bytes).
TPictureRecord Parse(const uint8_t* p) {
  TPictureRecord r;
  r.Key = Get32(p) | static_cast<uint64_t>(Get32(p + 4)) << 32;
  r.ImageType = p[8];
  r.Exif = p[9];
  int32_t* fields[] = {&r.Orientation, &r.Width, &r.Height, &r.Depth, &r.FileSize, &r.ExifWidth, &r.ExifHeight};
  for (int i = 0; i < 7; ++i) *fields[i] = static_cast<int32_t>(Get32(p + 12 + 4 * i));
  r.ExifLength = Get32(p + 40);
  return r;
}

void Write(const TPictureRecord& r, uint8_t* p) {
  std::memset(p, 0, kRecordSize);
  Put32(p, static_cast<uint32_t>(r.Key));
  Put32(p + 4, static_cast<uint32_t>(r.Key >> 32));
  p[8] = r.ImageType;
  p[9] = r.Exif;
  const int32_t fields[] = {r.Orientation, r.Width, r.Height, r.Depth, r.FileSize, r.ExifWidth, r.ExifHeight};
  for (int i = 0; i < 7; ++i) Put32(p + 12 + 4 * i, static_cast<uint32_t>(fields[i]));
  Put32(p + 40, r.ExifLength);
}

// True when the bytes begin as an index file does.
bool IsIndexFile(const uint8_t* data, size_t size) {
  return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

// The record at `at` of an index file, when it lies whole in the file and
// its Exif bytes agree with it; false at the end and at a damaged tail.
bool RecordAt(const uint8_t* data, size_t size, size_t at, TPictureRecord& r) {
  if (size - at < kRecordSize) return false;
  r = Parse(data + at);
  return r.ExifLength <= size - at - kRecordSize && (r.Exif == kExifPresent) == (r.ExifLength > 0);
}

}  // namespace

void TPictureIndex::Load(TLargeBuffer&& bytes) {
  file_ = std::move(bytes);
  entries_.Clear();
  const uint8_t* data = reinterpret_cast<const uint8_t*>(file_.Data());
  const size_t size = file_.Size();
  if (!IsIndexFile(data, size)) return;
  TPictureRecord r;
  for (size_t at = sizeof kSignature; RecordAt(data, size, at, r); at += kRecordSize + r.ExifLength)
    if (!entries_.Push({r.Key, at})) break;
  std::stable_sort(entries_.Data(), entries_.Data() + entries_.Size(),
                   [](const TEntry& a, const TEntry& b) { return a.Key < b.Key; });
}

bool TPictureIndex::Find(uint64_t key, TPictureRecord& record, const uint8_t*& exif) const {
  const TEntry* first = entries_.Data();
  const TEntry* last = first + entries_.Size();
  const TEntry* at = std::lower_bound(first, last, key, [](const TEntry& e, uint64_t k) { return e.Key < k; });
  if (at == last || at->Key != key) return false;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(file_.Data()) + at->At;
  record = Parse(p);
  exif = p + kRecordSize;
  return true;
}

bool TPictureIndex::Build(const TLargeArray<TFresh>& fresh, const uint8_t* bytes, size_t maxBytes,
                          TLargeBuffer& out) const {
  if (!out.Allocate(maxBytes > sizeof kSignature ? maxBytes : sizeof kSignature)) return false;
  uint8_t* data = reinterpret_cast<uint8_t*>(out.Data());
  std::memcpy(data, kSignature, sizeof kSignature);
  size_t used = sizeof kSignature;
  auto put = [&](const TPictureRecord& r, const uint8_t* exif) {
    if (out.Capacity() - used < kRecordSize + r.ExifLength) return false;
    Write(r, data + used);
    if (r.ExifLength) std::memcpy(data + used + kRecordSize, exif, r.ExifLength);
    used += kRecordSize + r.ExifLength;
    return true;
  };
  // The fresh ones (a picture selected twice is there twice; Find takes the
  // first, and the two are the same).
  TLargeArray<uint64_t> keys;
  for (size_t i = 0; i < fresh.Size(); ++i) {
    if (!put(fresh[i].Record, bytes + fresh[i].ExifAt)) break;
    keys.Push(fresh[i].Record.Key);
  }
  std::sort(keys.Data(), keys.Data() + keys.Size());
  // Then the old ones, in the order they were kept: the most recent first.
  const uint8_t* old = reinterpret_cast<const uint8_t*>(file_.Data());
  TPictureRecord r;
  if (IsIndexFile(old, file_.Size()))
    for (size_t at = sizeof kSignature; RecordAt(old, file_.Size(), at, r); at += kRecordSize + r.ExifLength)
      if (!std::binary_search(keys.Data(), keys.Data() + keys.Size(), r.Key) && !put(r, old + at + kRecordSize)) break;
  out.SetSize(used);
  return true;
}
