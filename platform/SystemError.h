// The system's own words for an error code, for the messages that name a
// failure to the user.
#pragma once

#include <cstdint>
#include <string>

// The text of the code in the user's language, without its line end; the
// number itself when the system has no text for it.
std::wstring SystemErrorText(uint32_t code);
