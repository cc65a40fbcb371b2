// The gallery command: from the active panel's selection to a page in the
// temporary folder, opened by the shell.
#pragma once

#include <string>

// Makes the page of the current host's selection in the view that
// PluginConfig.Thumbnails names and opens it. A page that cannot be made
// completely is not opened; the user is told why, unless it could not be
// created at all or the user stopped it.
void MakeGalleryPage();

// The page file's path for this moment: the temporary folder, "galv", the
// time number of the local clock and a random number from 0 to 199, ".htm".
std::wstring NewPagePath();
