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

// The text converted from the OEM to the ANSI code page, byte for byte.
std::string OemToAnsiStr(const std::string& text);

// The path of a selected item as the host names it, in the OEM code page:
// the panel folder and the name, unless the name holds a colon (a
// drive-qualified path from a plugin panel).
TPathName ItemFileName(const PanelInfo& panel, int index);

// The same path in the ANSI code page, as pages and the clipboard show it.
std::string ItemFullPath(const PanelInfo& panel, int index);

// The page file's path for this moment: the temporary folder, "galv", the
// time number of the local clock and a random number from 0 to 199, ".htm".
std::wstring NewPagePath();
