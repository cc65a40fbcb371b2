// The gallery command: from the active panel's selection to a page in the
// temporary folder, opened by the shell.
#pragma once

#include <string>

#include "host/FARIntf.h"
#include "platform/PathName.h"

// Makes the page in the view that PluginConfig.Thumbnails names and opens
// it. Silent: a page that cannot be made or written completely is not opened.
void MakeGalleryPage(const PanelInfo& panel);

// The system's temporary folder, normally ending in a backslash; empty when
// the query fails or the path does not fit its 1024-character buffer.
std::wstring GetTempFolder();

// The full path of a selected item in UTF-16: the panel folder and the
// name (both OEM text from the host, converted exactly), unless the name
// holds a colon (a drive-qualified path from a plugin panel). When the
// item has an 8.3 name and the file system's long name for it differs from
// the host's (a "?" or a best-fit letter for a character that the OEM code
// page lacks), the file system's.
std::wstring ItemFullPath(const PanelInfo& panel, int index);

// The page file's path for this moment: the temporary folder, "galv", the
// time number of the local clock and a random number from 0 to 199, ".htm".
std::wstring NewPagePath();
