#include "date.h"

#include <cstdio>
#include <ctime>

namespace memotab {

namespace {

struct Ymd {
  int year;
  int month;
  int day;
};

constexpr long kFirstJulianDay = 1721426;  // 1 January of the year 1
constexpr long kLastJulianDay = 5373484;   // 31 December 9999

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

long ToJulian(int year, int month, int day) {
  const int a = (14 - month) / 12;
  const long y = year + 4800L - a;
  const long m = month + 12L * a - 3;
  return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

Ymd FromJulian(long jd) {
  const long a = jd + 32044;
  const long b = (4 * a + 3) / 146097;
  const long c = a - 146097 * b / 4;
  const long d = (4 * c + 3) / 1461;
  const long e = c - 1461 * d / 4;
  const long m = (5 * e + 2) / 153;
  return {static_cast<int>(100 * b + d - 4800 + m / 10), static_cast<int>(m + 3 - 12 * (m / 10)),
          static_cast<int>(e - (153 * m + 2) / 5 + 1)};
}

// Reads exactly `count` decimal digits; nothing when any of them is not a digit.
std::optional<int> Digits(std::string_view text, size_t offset, size_t count) {
  if (offset + count > text.size()) return std::nullopt;
  int value = 0;
  for (size_t i = offset; i < offset + count; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

Date FromParts(std::optional<int> year, std::optional<int> month, std::optional<int> day) {
  if (!year || !month || !day) return {};
  return Date::FromYmd(*year, *month, *day).value_or(Date{});
}

}  // namespace

std::optional<Date> Date::FromYmd(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
  if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return Date(ToJulian(year, month, day));
}

Date Date::FromStored(std::string_view text) {
  if (text.size() != 8) return {};
  return FromParts(Digits(text, 0, 4), Digits(text, 4, 2), Digits(text, 6, 2));
}

Date Date::FromText(std::string_view text) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return {};
  return FromParts(Digits(text, 6, 4), Digits(text, 3, 2), Digits(text, 0, 2));
}

Date Date::FromJulianDay(long julianDay) {
  if (julianDay < kFirstJulianDay || julianDay > kLastJulianDay) return {};
  return Date(julianDay);
}

Date Date::Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return FromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).value_or(Date{});
}

int Date::Year() const { return IsEmpty() ? 0 : FromJulian(julianDay_).year; }
int Date::Month() const { return IsEmpty() ? 0 : FromJulian(julianDay_).month; }
int Date::Day() const { return IsEmpty() ? 0 : FromJulian(julianDay_).day; }

std::string Date::ToText() const {
  if (IsEmpty()) return "  /  /    ";
  const Ymd ymd = FromJulian(julianDay_);
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", ymd.day, ymd.month, ymd.year);
  return text;
}

std::string Date::ToStored() const {
  if (IsEmpty()) return std::string(8, ' ');
  const Ymd ymd = FromJulian(julianDay_);
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", ymd.year, ymd.month, ymd.day);
  return text;
}

}  // namespace memotab
