// A small picture carried in the page itself, as a data: address: the
// browser has it with the page, and fetches no file for it.
#pragma once

#include <string>
#include <string_view>

// "data:image/jpeg;base64," and the bytes in base64.
std::string JpegDataUri(std::string_view jpeg);
