// Blocks whose size the input decides (template files, the line being
// built, the page buffer, the list of the selection). Their allocation may
// fail, and then the command fails with "Not enough memory", never the
// host's process: the aborting operator new stays for small objects only.
#pragma once

#include <cstddef>
#include <string_view>

// A block of `size` bytes, or null when there is no memory for it.
void* TryAllocate(size_t size);
// For tests: the allocation after this many more fails (-1: none does).
extern int LargeAllocationsLeft;
void ReleaseBlock(void* block);

// Bytes in one such block: a capacity fixed when it is allocated, and the
// part of it in use.
class TLargeBuffer {
 public:
  TLargeBuffer() = default;
  ~TLargeBuffer() { ReleaseBlock(data_); }
  TLargeBuffer(const TLargeBuffer&) = delete;
  TLargeBuffer& operator=(const TLargeBuffer&) = delete;
  TLargeBuffer(TLargeBuffer&& other) noexcept
      : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
    other.data_ = nullptr;
    other.size_ = other.capacity_ = 0;
  }
  TLargeBuffer& operator=(TLargeBuffer&& other) noexcept {
    if (this != &other) {
      ReleaseBlock(data_);
      data_ = other.data_, size_ = other.size_, capacity_ = other.capacity_;
      other.data_ = nullptr;
      other.size_ = other.capacity_ = 0;
    }
    return *this;
  }

  // Replaces the block with an empty one of `capacity` bytes; false, with
  // no block at all, when there is no memory for it.
  bool Allocate(size_t capacity) {
    ReleaseBlock(data_);
    size_ = 0;
    data_ = static_cast<char*>(TryAllocate(capacity ? capacity : 1));
    capacity_ = data_ ? capacity : 0;
    return data_ != nullptr;
  }

  char* Data() { return data_; }
  const char* Data() const { return data_; }
  size_t Size() const { return size_; }
  size_t Capacity() const { return capacity_; }
  void SetSize(size_t size) { size_ = size <= capacity_ ? size : capacity_; }
  std::string_view View() const { return std::string_view(data_, size_); }

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};
