#pragma once

#include <string>


// Puts the text (ANSI) on the clipboard as CF_TEXT, and the unicode text
// as CF_UNICODETEXT where that block can be had. The clipboard is emptied
// first, so an empty text leaves it empty. True when it holds the text.
bool CopyToClipboard(const std::string& text, const std::wstring& unicode);
// The same with the ANSI text converted for CF_UNICODETEXT.
bool CopyToClipboard(const std::string& text);

// The clipboard command: the full path of every item of the current host's
// selection, each followed by CR LF, in the order of the selection.
void CopySelectedNames();
