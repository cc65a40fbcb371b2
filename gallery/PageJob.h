// The gallery command: from the active panel's selection to a page in the
// temporary folder, opened by the shell.
#pragma once

#include <string>

// Makes the page of the current host's selection in the view that
// PluginConfig.Thumbnails names and opens it. A page that cannot be made
// completely is not opened and not kept; the user is told why, unless the
// user stopped it. A selection without files makes no page either.
void MakeGalleryPage();

// A page file's name: "galv", the time number of the local clock, the
// random number (0 to 199, or the next free one above it), ".htm".
std::wstring PageName(int64_t timeNumber, int64_t random);
