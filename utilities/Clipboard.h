#pragma once

#include <string>

enum TClipboardResult { crCopied, crHeld, crNoMemory, crRefused };

// Puts the text on the clipboard as CF_UNICODETEXT and CF_TEXT (the ANSI
// code page), each built directly in its global block, whose size is
// measured first. The clipboard is emptied first, so an empty text leaves it
// empty. crHeld: another program holds the clipboard (left alone);
// crNoMemory: the Unicode block cannot be had; crRefused: the clipboard
// refused it. Without memory for the ANSI block, the Unicode text alone is
// put (Windows makes the ANSI text from it when a program asks).
TClipboardResult CopyToClipboard(const std::wstring& text);

// The clipboard command: the full path of every item of the current host's
// selection, each followed by CR LF, in the order of the selection. A
// selection of any size fails with "Not enough memory", never the host.
void CopySelectedNames();
