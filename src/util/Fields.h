#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// Fields of a text separated by one character, counted from 1. A text without any separator
// counts no fields, although ExtractField treats it as one field; callers that care ask
// CountFields first.
int CountFields(std::string_view text, char separator);

// The characters between the (k-1)-th and the k-th separator; empty when the text holds fewer
// than k - 1 separators (or k is below 1).
std::string ExtractField(std::string_view text, int k, char separator);

} // namespace vorlane
