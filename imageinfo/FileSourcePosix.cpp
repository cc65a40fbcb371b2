// The probe's file source on POSIX systems (native tests, fuzzing, benchmarks).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "imageinfo/ByteSource.h"
#include "platform/Unicode.h"

namespace {

class TPosixFileSource final : public TByteSource {
 public:
  TPosixFileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~TPosixFileSource() override { close(fd_); }
  TPosixFileSource(const TPosixFileSource&) = delete;
  TPosixFileSource& operator=(const TPosixFileSource&) = delete;

  uint64_t Size() const override { return size_; }

  size_t ReadAt(uint64_t offset, void* buffer, size_t n) override {
    size_t done = 0;
    while (done < n) {
      ssize_t got = pread(fd_, static_cast<char*>(buffer) + done, n - done, static_cast<off_t>(offset + done));
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    return done;
  }

 private:
  int fd_;
  uint64_t size_;
};

}  // namespace

// A wide name as the system's bytes: UTF-8.
std::unique_ptr<TByteSource> OpenFileSource(const std::wstring& fileName) {
  return OpenFileSource(Utf8Encode(fileName), cpAnsi);
}

// Names here are the system's own bytes, whatever code page they carry.
std::unique_ptr<TByteSource> OpenFileSource(const std::string& fileName, TCodePage) {
  int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<TPosixFileSource>(fd, static_cast<uint64_t>(st.st_size));
}
