#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// Code points of UTF-16LE bytes; an unpaired surrogate becomes U+FFFD. A trailing odd byte is
// ignored (callers check the length when it matters).
std::u32string DecodeUtf16Le(std::string_view bytes);

// UTF-16LE bytes of code points, those above U+FFFF as surrogate pairs (the inverse of
// DecodeUtf16Le). A code point that UTF-16 cannot hold (a surrogate, above U+10FFFF) becomes
// U+FFFD.
std::string EncodeUtf16Le(std::u32string_view text);

std::string EncodeUtf8(std::u32string_view text);

// Code points of UTF-8 text; a byte that does not belong to a valid sequence becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

// Windows-1252 bytes, as the Windows program held its texts. The five code points that the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to themselves, as Windows maps them;
// anything else outside the code page becomes "?".
std::string EncodeWindows1252(std::u32string_view text);

// The code points of Windows-1252 bytes (the inverse of EncodeWindows1252).
std::u32string DecodeWindows1252(std::string_view bytes);

bool IsValidUtf8(std::string_view text);

} // namespace vorlane
