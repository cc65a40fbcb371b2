// Names of the copies in the thumbnail cache: 16 hex digits of a 64-bit
// hash of what decides the copy (the picture's path, its length and last
// write time, the size made and the kind of copy), and the extension of
// the file made (.jpg, .png, or .svg for a placeholder).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Selection.h"

enum TCopyExt : uint8_t { ceNone, ceJpg, cePng, ceSvg };

// The key of a copy. Letters A to Z of the path count as a to z: a folder
// or file named in another case is the same file on Windows.
uint64_t CopyKey(std::wstring_view path, uint64_t fileSize, TFileTime lastWrite, int32_t width, int32_t height,
                 uint8_t kind);

// "0123456789abcdef.jpg"; empty for ceNone.
std::wstring CopyFileName(uint64_t key, TCopyExt ext);

// The key and extension of a file name of that form; false for any other.
bool ParseCopyFileName(std::wstring_view name, uint64_t& key, TCopyExt& ext);
