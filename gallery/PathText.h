// Path and text helpers shared by both page writers and the panel utilities.
// Paths are UTF-16 text with backslashes from the host to the page, where
// the page's encoder turns them into its bytes; the narrow forms serve texts
// that are bytes already (the settings, template names).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Fitting.h"

// The path with a backslash at its end. An empty path stays empty, so a
// name joined to it stays as the host gave it.
std::string AddBackslash(std::string path);
std::wstring AddBackslash(std::wstring path);

// Everything up to and including the last backslash or colon; empty when
// there is neither.
std::string FolderPart(std::string_view path);
std::wstring FolderPart(std::wstring_view path);

// Everything after the last backslash or colon; the whole path when there
// is neither.
std::string NamePart(std::string_view path);
std::wstring NamePart(std::wstring_view path);


// True when the image with this 0-based index closes a row of perRow
// images (perRow 0: rows never close).
bool EndsRow(int index, int32_t perRow);

// The letter in upper case for a to z; every other character unchanged.
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }


// A name or path as it may stand in HTML text and in attribute values:
// '"', '<', '>', '&' and '\'' become character references; everything else
// is kept.
std::string HtmlText(std::string_view text);
std::wstring HtmlText(std::wstring_view text);

// A path as the URL of a file link: "file://localhost/" and the path with
// '%' and '#' percent-encoded (so that a browser takes them as part of the
// name), written as HTML text. Backslashes stay as they are.
std::string FileUrl(std::string_view path);
std::wstring FileUrl(std::wstring_view path);

// A path (UTF-8) as a file://localhost/ address that may stand bare as an
// attribute value: every byte but letters, digits, backslashes and the
// characters of a path that a URL keeps as they are is percent-encoded.
std::string BareFileUrl(std::string_view utf8Path);

// The number in a page file's name for a local date and time: days since
// 30 December 1899, time of day as the fraction, times 10000, truncated.
int64_t PageTimeNumber(int year, int month, int day, int hour, int minute, int second, int millisecond);

// True for a name of the form the page job gives its pages: "galv", one or
// more decimal digits, ".htm", in any letter case.
bool IsGeneratedPageName(std::string_view name);
bool IsGeneratedPageName(std::wstring_view name);

// The page file's random number, 0 to 199, drawn from a generator seeded
// with the given value (the time of day in milliseconds).
int32_t RandomPageNumber(uint32_t seed);
