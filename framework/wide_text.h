#pragma once

#include <string>
#include <string_view>

namespace memotab {

// The program's ANSI (Windows-1252) text as the system's UTF-16, and back.
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);

}  // namespace memotab
