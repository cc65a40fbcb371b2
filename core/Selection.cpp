#include "core/Selection.h"

#include <cstring>

bool TSelection::Room(TLargeBuffer& block, size_t bytes) {
  if (block.Capacity() >= bytes && block.Data()) return true;
  size_t capacity = block.Capacity() ? block.Capacity() : 4096;
  while (capacity < bytes) capacity *= 2;
  TLargeBuffer larger;
  if (!larger.Allocate(capacity)) return false;
  if (block.Data()) std::memcpy(larger.Data(), block.Data(), block.Capacity());
  block = std::move(larger);
  return true;
}

bool TSelection::Add(std::wstring_view path, const TItemInfo& info) {
  if (!Room(items_, (count_ + 1) * sizeof(TItem)) || !Room(text_, (used_ + path.size()) * sizeof(wchar_t)))
    return false;
  std::memcpy(reinterpret_cast<wchar_t*>(text_.Data()) + used_, path.data(), path.size() * sizeof(wchar_t));
  reinterpret_cast<TItem*>(items_.Data())[count_++] = {used_, path.size(), info};
  used_ += path.size();
  return true;
}

std::wstring TSelection::Path(int index) const { return std::wstring(PathView(index)); }

std::wstring_view TSelection::PathView(int index) const {
  const TItem& item = Item(index);
  return std::wstring_view(reinterpret_cast<const wchar_t*>(text_.Data()) + item.Text, item.Length);
}
