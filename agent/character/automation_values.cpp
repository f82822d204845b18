#include "automation_values.h"

#include <algorithm>
#include <cmath>

namespace memotab::character {

namespace {

// The value changed to `type`, or an empty variant when it cannot be.
VARIANT Converted(const VARIANT& value, VARTYPE type) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, type))) VariantInit(&converted);
  return converted;
}

}  // namespace

std::optional<std::wstring> TextArgument(const VARIANT& value) {
  VARIANT text = Converted(value, VT_BSTR);
  if (text.vt != VT_BSTR) return std::nullopt;
  std::wstring result(text.bstrVal != nullptr ? text.bstrVal : L"", SysStringLen(text.bstrVal));
  VariantClear(&text);
  return result;
}

std::optional<double> NumberArgument(const VARIANT& value) {
  const VARIANT number = Converted(value, VT_R8);
  if (number.vt != VT_R8) return std::nullopt;
  return number.dblVal;
}

std::optional<bool> LogicalArgument(const VARIANT& value) {
  const std::optional<double> number = NumberArgument(value);
  if (!number) return std::nullopt;
  return *number != 0;
}

long WholeNumber(double value, long fallback) {
  constexpr double kLargest = 1e9;
  if (!std::isfinite(value)) return fallback;
  return static_cast<long>(std::clamp(value, -kLargest, kLargest));
}

std::wstring Utf8ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace memotab::character
