// Numbers as the plugin writes and reads them: signed 32-bit decimal text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "-" for negative values, no leading zeros, no separators.
std::string DecimalText(int32_t value);

// Parses a number typed into the settings dialog: optional leading spaces,
// then either an optional sign and decimal digits within the 32-bit range,
// or "$" and hexadecimal digits (at most eight significant ones, filling all
// 32 bits), and nothing after. Returns false, leaving value alone, otherwise.
bool ParseConfigNumber(std::string_view text, int32_t& value);
