#pragma once

namespace memotab {

inline constexpr const char* kHelpFile = "MEMOTAB.HLP";
inline constexpr const char* kHelpPage = "MEMOTAB.HTML";

// Opens the help at its contents: the help file in the platform's help viewer when the
// file is there, otherwise the help page of the working directory in the user's browser.
void AYUDA();

}  // namespace memotab
