#include "worker/Wic.h"

#include <windows.h>
#include <wincodec.h>

#include <cstdint>

#include "worker/Orientation.h"

namespace {

// Pixels whose amount the picture decides: when the heap has no block for
// them, the job fails as too large and the worker goes on.
class TPixels {
 public:
  explicit TPixels(uint64_t bytes) {
    if (bytes <= SIZE_MAX)
      data_ = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, static_cast<size_t>(bytes ? bytes : 1)));
  }
  ~TPixels() {
    if (data_) HeapFree(GetProcessHeap(), 0, data_);
  }
  TPixels(const TPixels&) = delete;
  TPixels& operator=(const TPixels&) = delete;
  explicit operator bool() const { return data_ != nullptr; }
  uint8_t* Data() const { return data_; }

 private:
  uint8_t* data_ = nullptr;
};

// The decoder's own scaling (JPEG by 1/2, 1/4, 1/8 while decoding, on
// Windows 7 and later). mingw-w64's wincodec.h does not declare it.
struct ISourceTransform : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height, WICPixelFormatGUID* format,
                                               WICBitmapTransformOptions transform, UINT stride, UINT bufferSize,
                                               BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};
const GUID kSourceTransformIid = {0x3B16811B, 0x6A43, 0x4EC9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};
// The first version of the factory: every system with WIC has it.
const GUID kFactoryClsid = {0xCACAF262, 0x9370, 0x4615, {0xA1, 0x3B, 0x9F, 0x55, 0x39, 0xDA, 0x4C, 0x0A}};

// An interface pointer released on every path out.
template <typename T>
class TCom {
 public:
  TCom() = default;
  ~TCom() { Reset(); }
  TCom(const TCom&) = delete;
  TCom& operator=(const TCom&) = delete;
  T** operator&() {
    Reset();
    return &p_;
  }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// Memory that the job has asked for, given back on every path out.
class TReservation {
 public:
  TReservation(bool (*reserve)(uint64_t), void (*release)(uint64_t)) : reserve_(reserve), release_(release) {}
  ~TReservation() {
    if (bytes_) release_(bytes_);
  }
  TReservation(const TReservation&) = delete;
  TReservation& operator=(const TReservation&) = delete;
  bool Take(uint64_t bytes) {
    if (!reserve_(bytes)) return false;
    bytes_ += bytes;
    return true;
  }

 private:
  bool (*reserve_)(uint64_t);
  void (*release_)(uint64_t);
  uint64_t bytes_ = 0;
};

TJobFailure OpenFailure(HRESULT hr) {
  if (hr == static_cast<HRESULT>(0x88982F50)) return jfNoDecoder;  // WINCODEC_ERR_COMPONENTNOTFOUND
  for (DWORD code : {ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
                     ERROR_LOCK_VIOLATION})
    if (hr == HRESULT_FROM_WIN32(code)) return jfOpen;
  return jfDamaged;
}

// Bits per pixel of a pixel format.
UINT BitsPerPixel(IWICImagingFactory* factory, const WICPixelFormatGUID& format) {
  TCom<IWICComponentInfo> info;
  TCom<IWICPixelFormatInfo> pixel;
  UINT bits = 0;
  if (FAILED(factory->CreateComponentInfo(format, &info)) ||
      FAILED(info->QueryInterface(IID_IWICPixelFormatInfo, reinterpret_cast<void**>(&pixel))) ||
      FAILED(pixel->GetBitsPerPixel(&bits)))
    return 0;
  return bits;
}

// The largest size of the picture's proportions inside the box, never
// larger than the picture. The box is usually that size already (fitted by
// the plugin, truncated): the other side is rounded, so that fitting twice
// gives the same size.
void Fit(UINT width, UINT height, UINT boxWidth, UINT boxHeight, UINT& w, UINT& h) {
  w = width, h = height;
  if (w <= boxWidth && h <= boxHeight) return;
  if (uint64_t{height} * boxWidth > uint64_t{width} * boxHeight) {
    h = boxHeight;
    w = static_cast<UINT>((2 * uint64_t{width} * boxHeight + height) / (2 * uint64_t{height}));
  } else {
    w = boxWidth;
    h = static_cast<UINT>((2 * uint64_t{height} * boxWidth + width) / (2 * uint64_t{width}));
  }
  if (w == 0) w = 1;
  if (h == 0) h = 1;
}

// Writes the pixels (BGRA, shown) as a JPEG of quality 0.85 or a PNG.
bool Encode(IWICImagingFactory* factory, const std::wstring& path, const uint8_t* pixels, UINT width, UINT height,
            bool png) {
  TCom<IWICStream> stream;
  TCom<IWICBitmapEncoder> encoder;
  TCom<IWICBitmapFrameEncode> frame;
  TCom<IPropertyBag2> options;
  if (FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(png ? GUID_ContainerFormatPng : GUID_ContainerFormatJpeg, nullptr, &encoder)) ||
      FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(&frame, &options)))
    return false;
  if (!png) {
    PROPBAG2 option = {};
    option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value = {};
    value.vt = VT_R4;
    value.fltVal = 0.85f;
    options->Write(1, &option, &value);
  }
  WICPixelFormatGUID format = png ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
  if (FAILED(frame->Initialize(options.Get())) || FAILED(frame->SetSize(width, height)) ||
      FAILED(frame->SetPixelFormat(&format)))
    return false;
  const bool asked = png ? format == GUID_WICPixelFormat32bppBGRA : format == GUID_WICPixelFormat24bppBGR;
  if (!asked) return false;
  // A JPEG takes three bytes a pixel: the alpha, all opaque, goes.
  const UINT stride = png ? width * 4 : (width * 3 + 3) & ~3u;
  TPixels bgr(png ? 0 : uint64_t{stride} * height);
  const uint8_t* rows = pixels;
  if (!png) {
    if (!bgr) return false;
    for (UINT y = 0; y < height; ++y) {
      uint8_t* row = bgr.Data() + size_t{y} * stride;
      for (UINT x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c) row[x * 3 + c] = pixels[(size_t{y} * width + x) * 4 + c];
      for (UINT x = width * 3; x < stride; ++x) row[x] = 0;
    }
    rows = bgr.Data();
  }
  return SUCCEEDED(frame->WritePixels(height, stride, stride * height, const_cast<BYTE*>(rows))) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

TWic::~TWic() {
  if (factory_) factory_->Release();
  if (com_) CoUninitialize();
}

bool TWic::Start() {
  com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  return com_ && SUCCEEDED(CoCreateInstance(kFactoryClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                            reinterpret_cast<void**>(&factory_)));
}

TJobFailure TWic::MakeCopy(const TThumbJob& job, TCopyExt& ext, bool (*reserve)(uint64_t), void (*release)(uint64_t)) {
  ext = ceNone;
  TCom<IWICBitmapDecoder> decoder;
  TCom<IWICBitmapFrameDecode> frame;
  HRESULT hr = factory_->CreateDecoderFromFilename(job.Source.c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnDemand, &decoder);
  if (FAILED(hr)) return OpenFailure(hr);
  UINT width = 0, height = 0;
  if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0)
    return jfDamaged;
  // The copy's size as stored: the job gives it as shown.
  const bool quarter = job.Orientation >= 5 && job.Orientation <= 8;
  UINT copyWidth = 0, copyHeight = 0;
  Fit(width, height, quarter ? job.Height : job.Width, quarter ? job.Width : job.Height, copyWidth, copyHeight);

  TReservation memory(reserve, release);
  IWICBitmapSource* source = frame.Get();
  TCom<IWICBitmap> prescaled;
  TCom<ISourceTransform> transform;
  UINT closeWidth = copyWidth, closeHeight = copyHeight;
  if (SUCCEEDED(frame->QueryInterface(kSourceTransformIid, reinterpret_cast<void**>(&transform))) &&
      SUCCEEDED(transform->GetClosestSize(&closeWidth, &closeHeight)) && closeWidth < width && closeWidth > 0 &&
      closeHeight > 0) {
    // Decoded at the smaller size the decoder offers, then scaled the rest.
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    transform->GetClosestPixelFormat(&format);
    const UINT bits = BitsPerPixel(factory_, format);
    const uint64_t stride = (uint64_t{closeWidth} * bits + 31) / 32 * 4;
    const uint64_t bytes = stride * closeHeight;
    if (bits == 0 || bytes > kMaxDecodeBytes) return jfTooLarge;
    if (!memory.Take(2 * bytes)) return jfTooLarge;
    TPixels buffer(bytes);
    if (!buffer) return jfTooLarge;
    if (FAILED(transform->CopyPixels(nullptr, closeWidth, closeHeight, &format, WICBitmapTransformRotate0,
                                     static_cast<UINT>(stride), static_cast<UINT>(bytes), buffer.Data())) ||
        FAILED(factory_->CreateBitmapFromMemory(closeWidth, closeHeight, format, static_cast<UINT>(stride),
                                                static_cast<UINT>(bytes), buffer.Data(), &prescaled)))
      return jfDamaged;
    source = prescaled.Get();
    width = closeWidth;
    height = closeHeight;
  } else if (uint64_t{width} * height * 4 > kMaxDecodeBytes) {
    return jfTooLarge;
  } else if (!memory.Take(uint64_t{width} * height * 4)) {
    return jfTooLarge;
  }
  const uint64_t copyBytes = uint64_t{copyWidth} * copyHeight * 4;
  if (!memory.Take(2 * copyBytes)) return jfTooLarge;

  TCom<IWICFormatConverter> converter;
  TCom<IWICBitmapScaler> scaler;
  if (FAILED(factory_->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return jfDamaged;
  IWICBitmapSource* scaled = converter.Get();
  if (copyWidth != width || copyHeight != height) {
    if (FAILED(factory_->CreateBitmapScaler(&scaler)) ||
        FAILED(scaler->Initialize(converter.Get(), copyWidth, copyHeight, WICBitmapInterpolationModeFant)))
      return jfDamaged;
    scaled = scaler.Get();
  }
  TPixels pixels(copyBytes), shown(copyBytes);
  if (!pixels || !shown) return jfTooLarge;
  if (FAILED(scaled->CopyPixels(nullptr, copyWidth * 4, static_cast<UINT>(copyBytes), pixels.Data())))
    return jfDamaged;
  bool transparent = false;
  for (uint64_t i = 3; i < copyBytes && !transparent; i += 4) transparent = pixels.Data()[i] != 255;
  int32_t shownWidth = 0, shownHeight = 0;
  OrientPixels(pixels.Data(), static_cast<int32_t>(copyWidth), static_cast<int32_t>(copyHeight), job.Orientation,
               shown.Data(), shownWidth, shownHeight);
  converter.Reset();
  scaler.Reset();
  prescaled.Reset();
  frame.Reset();
  decoder.Reset();

  const std::wstring final = job.Target + (transparent ? L".png" : L".jpg");
  const std::wstring temporary = job.Target + L".tmp";
  if (!Encode(factory_, temporary, shown.Data(), static_cast<UINT>(shownWidth), static_cast<UINT>(shownHeight),
              transparent) ||
      !MoveFileExW(temporary.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temporary.c_str());
    return jfWrite;
  }
  ext = transparent ? cePng : ceJpg;
  return jfNone;
}
