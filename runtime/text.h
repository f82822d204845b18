#pragma once

#include <string>
#include <string_view>

namespace memotab {

// Text with trailing blanks removed.
std::string_view TrimRight(std::string_view text);
// Text with leading and trailing blanks removed.
std::string_view Trim(std::string_view text);

// The number at the start of a text, as a number is read from text: leading blanks
// skipped, an optional sign, digits with an optional decimal point, up to the first other
// character. A text that starts with no digit reads as 0.
double Val(std::string_view text);

// Windows-1252 bytes converted to UTF-8. The five bytes that Windows-1252 leaves
// undefined become U+FFFD.
std::string Cp1252ToUtf8(std::string_view text);

// UTF-8 text as a JSON string literal, quotes included.
std::string JsonString(std::string_view utf8);

}  // namespace memotab
