// One reader per format. Each has a test of the file's first bytes
// (`head`, n bytes of them, at least 16 when the file has them) and a reader
// that sets ImageType first and then the size as a browser shows it. A
// reader that finds the file short or its structure broken leaves its
// verdict on the block reader; ReadInfo then clears the result.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imageinfo/BlockReader.h"
#include "imageinfo/DCImageInfo.h"

namespace formats {

bool IsPNG(const uint8_t* head, size_t n);
void ReadPNG(TDCImageInfo& info, TBlockReader& in);

bool IsGIF(const uint8_t* head, size_t n);
void ReadGIF(TDCImageInfo& info, TBlockReader& in);

bool IsBMP(const uint8_t* head, size_t n);
void ReadBMP(TDCImageInfo& info, TBlockReader& in);

// Classic TIFF in either byte order, and BigTIFF.
bool IsTIFF(const uint8_t* head, size_t n);
void ReadTIFF(TDCImageInfo& info, TBlockReader& in);

bool IsWebP(const uint8_t* head, size_t n);
void ReadWebP(TDCImageInfo& info, TBlockReader& in);

// AVIF and HEIF/HEIC: an ISO base media file whose `ftyp` names an image brand.
bool IsHEIF(const uint8_t* head, size_t n);
void ReadHEIF(TDCImageInfo& info, TBlockReader& in);

// The bare JPEG XL codestream and the JPEG XL container.
bool IsJXL(const uint8_t* head, size_t n);
void ReadJXL(TDCImageInfo& info, TBlockReader& in);

// Icons and cursors: the four-byte signature is weak, so the directory
// must be plausible too.
bool IsICO(TBlockReader& in, const uint8_t* head, size_t n);
void ReadICO(TDCImageInfo& info, TBlockReader& in);

// PCX only when its header is one.
bool IsPCX(const uint8_t* head, size_t n);
void ReadPCX(TDCImageInfo& info, TBlockReader& in);

// A text file whose first element is <svg, within its first 64 KB.
bool IsSVG(TBlockReader& in, const uint8_t* head, size_t n);
void ReadSVG(TDCImageInfo& info, TBlockReader& in);
// The gzip signature: a compressed SVG, which the probe does not read.
bool IsGzip(const uint8_t* head, size_t n);

// The catch-all, last: a JPEG start marker in the first 20000 bytes, then
// the marker walk to the frame header.
void ScanJPEG(TDCImageInfo& info, TBlockReader& in);

// Sets the size, or the damaged verdict when a side does not fit a
// positive 32-bit signed integer.
void SetSize(TDCImageInfo& info, TBlockReader& in, uint64_t width, uint64_t height);

}  // namespace formats
