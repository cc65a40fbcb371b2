// The 1.x interface's adapter: the commands' host, over the table that the
// host handed to SetStartupInfo (FarUtil). Texts cross its door in the OEM
// code page, both ways.
#pragma once

#include <string>

#include "core/Host.h"
#include "host/ansi/FARIntf.h"

THost& AnsiHost();

// The active panel that the command menu asked the host for, for the
// command that runs now (null outside one).
void SetAnsiPanel(const PanelInfo* panel);

// The full path of a selected item in UTF-16: the panel folder and the
// name (both OEM text from the host, converted exactly), unless the name
// holds a colon (a drive-qualified path from a plugin panel). When the
// item has an 8.3 name and the file system's long name for it differs from
// the host's (a "?" or a best-fit letter for a character that the OEM code
// page lacks), the file system's.
std::wstring ItemFullPath(const PanelInfo& panel, int index);
