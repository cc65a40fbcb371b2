// The one conversion from a path's own code page to the UTF-16 form that
// the wide file and shell functions take. OEM to UTF-16 and ANSI to UTF-16
// lose no character, so the file that the host showed is the file opened.
#pragma once

#include <string>

#include "platform/PathName.h"

// The path in UTF-16; empty for an empty path and for bytes that the code
// page cannot convert.
std::wstring WidePath(const std::string& path, TCodePage codePage);


// A full path as the wide file functions take it at any length: from 260
// characters on, in the \\?\ form (\\?\UNC\ for a share), which Windows
// does not limit to MAX_PATH. Shorter paths and relative ones stay as they are.
std::wstring LongPathForm(const std::wstring& path);

// UTF-16 text in the OEM code page, with a character that it lacks
// written as its default character.
std::string OemText(const std::wstring& text);
// The same in the ANSI code page, as Windows converts it by default (a
// letter that the code page lacks may become a similar one).
std::string AnsiText(const std::wstring& text);
