#include "thumbnails/CacheName.h"

namespace {

const wchar_t* const kExtensions[] = {L"", L".jpg", L".png", L".svg"};

// FNV-1a, 64 bits, over the bytes given.
class THash {
 public:
  void Bytes(uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
      hash_ ^= (value >> (8 * i)) & 0xFF;
      hash_ *= 0x100000001B3ull;
    }
  }
  uint64_t Value() const { return hash_; }

 private:
  uint64_t hash_ = 0xCBF29CE484222325ull;
};

}  // namespace

uint64_t CopyKey(std::wstring_view path, uint64_t fileSize, TFileTime lastWrite, int32_t width, int32_t height,
                 uint8_t kind) {
  THash h;
  for (wchar_t c : path) h.Bytes(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c, 2);
  h.Bytes(0, 2);  // the path ends here
  h.Bytes(fileSize, 8);
  h.Bytes(lastWrite.Low, 4);
  h.Bytes(lastWrite.High, 4);
  h.Bytes(static_cast<uint32_t>(width), 4);
  h.Bytes(static_cast<uint32_t>(height), 4);
  h.Bytes(kind, 1);
  return h.Value();
}

std::wstring CopyFileName(uint64_t key, TCopyExt ext) {
  if (ext == ceNone || ext > ceSvg) return std::wstring();
  std::wstring name(16, L'0');
  for (int i = 15; i >= 0; --i, key >>= 4) name[i] = L"0123456789abcdef"[key & 15];
  return name + kExtensions[ext];
}

bool ParseCopyFileName(std::wstring_view name, uint64_t& key, TCopyExt& ext) {
  if (name.size() != 20) return false;
  uint64_t k = 0;
  for (int i = 0; i < 16; ++i) {
    const wchar_t c = name[i];
    const int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1;
    if (digit < 0) return false;
    k = k << 4 | static_cast<uint64_t>(digit);
  }
  for (uint8_t e = ceJpg; e <= ceSvg; ++e) {
    if (name.substr(16) == kExtensions[e]) {
      key = k;
      ext = static_cast<TCopyExt>(e);
      return true;
    }
  }
  return false;
}
