// The page's background colour as the user gives it: hex digits (with or
// without '#') or the name of a colour, as the HTML colour attribute reads it.
#pragma once

#include <string>
#include <string_view>

// True for three or six hex digits, with or without a leading '#', and for
// the name of one of the colours that every browser knows (any letter case).
bool IsPageColour(std::string_view text);

// The attribute value for the setting: '#' and the digits for three or six
// hex digits, every other text as it is (a name, or what an older version
// stored; the page escapes it).
std::string PageColour(std::string_view setting);
