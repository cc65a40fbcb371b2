// The system's temporary folder, where gallery pages are made and removed.
#pragma once

#include <string>

// The folder, normally ending in a backslash; empty when the query fails or
// the path does not fit its 1024-character buffer.
std::wstring GetTempFolder();
