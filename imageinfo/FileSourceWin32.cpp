// The probe's file source in the plugin: the file is opened for reading and
// others may go on reading, writing and deleting it, so a picture that a
// viewer holds open is read, and an editor saving it meanwhile is not
// stopped by the probe.
#include "imageinfo/ByteSource.h"
#include "platform/WidePath.h"
#include "platform/Win32Api.h"

namespace {

class TWin32FileSource final : public TByteSource {
 public:
  TWin32FileSource(HANDLE file, uint64_t size) : file_(file), size_(size) {}
  ~TWin32FileSource() override { Win32.CloseHandle(file_); }
  TWin32FileSource(const TWin32FileSource&) = delete;
  TWin32FileSource& operator=(const TWin32FileSource&) = delete;

  uint64_t Size() const override { return size_; }

  // The file pointer is moved only where the read does not go on from the
  // last one. (A read that carries its offset in an OVERLAPPED record is one
  // call instead of two, but under Wine it costs a server round trip.)
  size_t ReadAt(uint64_t offset, void* buffer, size_t n) override {
    if (offset != position_) {
      LARGE_INTEGER to;
      to.QuadPart = static_cast<LONGLONG>(offset);
      if (!Win32.SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) return 0;
      position_ = offset;
    }
    size_t done = 0;
    while (done < n) {
      DWORD chunk = static_cast<DWORD>(n - done > 0x40000000 ? 0x40000000 : n - done);
      DWORD got = 0;
      const BOOL ok = Win32.ReadFile(file_, static_cast<char*>(buffer) + done, chunk, &got, nullptr);
      position_ += got;
      if (!ok || got == 0) break;
      done += got;
    }
    return done;
  }

 private:
  HANDLE file_;
  uint64_t size_;
  uint64_t position_ = 0;
};

}  // namespace

std::unique_ptr<TByteSource> OpenFileSource(const std::string& fileName, TCodePage codePage) {
  return OpenFileSource(WidePath(fileName, codePage));
}

std::unique_ptr<TByteSource> OpenFileSource(const std::wstring& path) {
  if (path.empty()) return nullptr;
  HANDLE file = Win32.CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size;
  if (!Win32.GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    Win32.CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<TWin32FileSource>(file, static_cast<uint64_t>(size.QuadPart));
}
