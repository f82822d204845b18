#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "win.h"

namespace memotab::character {

// The arguments the character service's objects receive, in whatever automation type
// they come (a reference, a number as text): text, a number, or a logical (any
// value other than zero is true). Nothing when the value cannot be taken as that.
std::optional<std::wstring> TextArgument(const VARIANT& value);
std::optional<double> NumberArgument(const VARIANT& value);
std::optional<bool> LogicalArgument(const VARIANT& value);
// A number taken as a whole number (a place, a size, a time): cut toward zero and kept
// within a billion either way, so that two of them add up safely; `fallback` when it is
// not a finite number.
long WholeNumber(double value, long fallback);

// The UTF-8 text of a character file as the system's UTF-16.
std::wstring Utf8ToWide(std::string_view text);

}  // namespace memotab::character
