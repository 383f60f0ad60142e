#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// Letter case is folded for a to z only. Registry names and entry names are compared this way,
// so two names that the settings dialog tells apart are never merged into one stored key.
char AsciiUpper(char c);
std::string AsciiUpper(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Negative, zero or positive like strcmp, comparing the upper-case forms byte by byte.
int CompareIgnoringCase(std::string_view a, std::string_view b);

// The value of a hexadecimal digit in either letter case; -1 for any other character.
int HexDigit(char c);

} // namespace vorlane
