#pragma once

#include <string>

// True when the path names an existing folder.
bool FolderExists(const std::wstring& path);

// Deletes the gallery pages in the folder: files named "galv", decimal
// digits, ".htm" (any case), as the page job names them; folders are neither
// entered nor removed. Read-only pages are made deletable first; one failure
// does not stop the rest. True when the folder exists and every deletion
// succeeded.
bool DeleteGeneratedPages(const std::wstring& folder);

// The clean-up command: the gallery pages left in the temporary folder,
// and the thumbnail cache's copies that no page has used for 30 days.
void RemoveGeneratedPages();
