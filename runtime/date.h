#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace memotab {

// A calendar date, or the empty date. The program shows dates as "dd/mm/yyyy"; tables
// store them as "YYYYMMDD".
class Date {
 public:
  Date() = default;  // the empty date

  // Nothing when the three numbers do not name a real day of the Gregorian calendar
  // between the years 1 and 9999.
  static std::optional<Date> FromYmd(int year, int month, int day);
  // The stored form "YYYYMMDD"; blanks or anything that is not a real date give the empty date.
  static Date FromStored(std::string_view text);
  // The shown form "dd/mm/yyyy"; anything that is not a real date gives the empty date.
  static Date FromText(std::string_view text);
  // Julian day number (1 January 4713 BC = 0); values outside the years 1 to 9999 give the empty date.
  static Date FromJulianDay(long julianDay);
  // The local date of the computer.
  static Date Today();

  bool IsEmpty() const { return julianDay_ == 0; }
  int Year() const;
  int Month() const;
  int Day() const;
  // 0 for the empty date.
  long JulianDay() const { return julianDay_; }

  // "dd/mm/yyyy", or "  /  /    " for the empty date.
  std::string ToText() const;
  // "YYYYMMDD", or eight blanks for the empty date.
  std::string ToStored() const;

  // The empty date orders before every real date.
  auto operator<=>(const Date&) const = default;

 private:
  explicit Date(long julianDay) : julianDay_(julianDay) {}
  long julianDay_ = 0;
};

}  // namespace memotab
