// Blocks whose size the input decides (template files, the line being
// built, the page buffer, the list of the selection). Their allocation may
// fail, and then the command fails with "Not enough memory", never the
// host's process: the aborting operator new stays for small objects only.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>
#include <utility>

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

// A growing array of plain records in a large block (doubled as it fills):
// a list whose length the input decides fails its command when memory runs
// out, never the host's process.
template <typename T>
class TLargeArray {
 public:
  // Appends the record, or n of them; false when the block cannot grow.
  bool Push(const T& value) { return Append(&value, 1); }
  bool Append(const T* values, size_t n) {
    if ((count_ + n) * sizeof(T) > block_.Capacity()) {
      TLargeBuffer larger;
      size_t capacity = block_.Capacity() ? 2 * block_.Capacity() : 64 * sizeof(T);
      while (capacity < (count_ + n) * sizeof(T)) capacity *= 2;
      if (!larger.Allocate(capacity)) return false;
      if (count_) std::memcpy(larger.Data(), block_.Data(), count_ * sizeof(T));
      block_ = std::move(larger);
    }
    if (n) std::memcpy(block_.Data() + count_ * sizeof(T), values, n * sizeof(T));
    count_ += n;
    return true;
  }
  size_t Size() const { return count_; }
  T* Data() { return reinterpret_cast<T*>(block_.Data()); }
  const T* Data() const { return reinterpret_cast<const T*>(block_.Data()); }
  T& operator[](size_t i) { return Data()[i]; }
  const T& operator[](size_t i) const { return Data()[i]; }
  void Clear() { count_ = 0; }

 private:
  TLargeBuffer block_;
  size_t count_ = 0;
};
