#pragma once

#include <string>

// True when the path names an existing folder.
bool FolderExists(const std::wstring& path);

// Deletes the gallery pages in the folder and in sub-folders that carry a
// page's name (never the folders themselves). Read-only pages are made
// deletable first; one failure does not stop the rest. True when the folder
// exists and every deletion succeeded.
bool DeleteGeneratedPages(const std::wstring& folder);

// The clean-up command: the gallery pages left in the temporary folder.
void RemoveGeneratedPages();
