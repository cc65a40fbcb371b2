// The items a command works on: full paths in UTF-16 with what the host
// reported of each file. The list lives in large blocks, so a selection of
// any size fails the command, never the host's process, when memory runs out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/LargeMemory.h"

struct TFileTime {
  uint32_t Low = 0, High = 0;
};

class TSelection {
 public:
  // What the host reported of an item's file.
  struct TItemInfo {
    uint32_t Attributes;
    TFileTime Created, LastWrite;
    uint64_t Size;
  };

  // Adds an item at the end; false when its block cannot be had.
  bool Add(std::wstring_view path, const TItemInfo& info);
  void Clear() { count_ = 0, used_ = 0; }

  int Count() const { return count_; }
  std::wstring Path(int index) const;
  std::wstring_view PathView(int index) const;
  const TItemInfo& Info(int index) const { return Item(index).Info; }
  uint32_t Attributes(int index) const { return Info(index).Attributes; }
  TFileTime Created(int index) const { return Info(index).Created; }

 private:
  struct TItem {
    size_t Text, Length;  // where the path lies in text_, in characters
    TItemInfo Info;
  };
  const TItem& Item(int index) const { return reinterpret_cast<const TItem*>(items_.Data())[index]; }
  // Makes room for `bytes` in block, doubling it; false when it cannot.
  static bool Room(TLargeBuffer& block, size_t bytes);

  TLargeBuffer items_, text_;
  int count_ = 0;
  size_t used_ = 0;  // characters in text_
};
