#include "ole_value.h"

#include <cmath>

namespace memotab {

OleValue OleNumber(double value) {
  if (value == static_cast<double>(static_cast<int32_t>(value))) return static_cast<int64_t>(value);
  return value;
}

char TypeLetter(const OleValue& value) {
  switch (value.index()) {
    case 1:
    case 2: return 'N';
    case 3: return 'C';
    case 4: return 'L';
    case 5: return 'D';
    case 6: return 'O';
    default: return 'U';
  }
}

bool IsNil(const OleValue& value) { return std::holds_alternative<std::monostate>(value); }

std::string AsText(const OleValue& value, const std::string& fallback) {
  const auto* text = std::get_if<std::string>(&value);
  return text != nullptr ? *text : fallback;
}

double AsNumber(const OleValue& value, double fallback) {
  if (const auto* whole = std::get_if<int64_t>(&value)) return static_cast<double>(*whole);
  if (const auto* real = std::get_if<double>(&value)) return *real;
  return fallback;
}

bool AsLogical(const OleValue& value, bool fallback) {
  const auto* logical = std::get_if<bool>(&value);
  return logical != nullptr ? *logical : fallback;
}

}  // namespace memotab
