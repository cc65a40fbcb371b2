// Positioned reads from a file or from memory, so that the probe runs the
// same in the plugin, in native tests, in the fuzzer and in benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/PathName.h"

class TByteSource {
 public:
  virtual ~TByteSource() = default;
  // Length in bytes, as found when the source was opened.
  virtual uint64_t Size() const = 0;
  // Reads up to n bytes at offset into buffer; returns how many were read.
  // Fewer than n only at the end of the data or when the read fails.
  virtual size_t ReadAt(uint64_t offset, void* buffer, size_t n) = 0;
};

class TMemorySource final : public TByteSource {
 public:
  TMemorySource(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* buffer, size_t n) override;

 private:
  const uint8_t* data_;
  size_t size_;
};

// Opens a file for the probe: read access, others may read, write and delete
// it meanwhile; the file must exist and must not be a folder. Null when it
// cannot be opened.
std::unique_ptr<TByteSource> OpenFileSource(const std::string& fileName, TCodePage codePage);
// The same for a name in UTF-16 (UTF-32 where wchar_t is that wide).
std::unique_ptr<TByteSource> OpenFileSource(const std::wstring& fileName);
