#include "date.h"

#include <gtest/gtest.h>

namespace memotab {
namespace {

TEST(Date, AcceptsOnlyRealCalendarDays) {
  EXPECT_TRUE(Date::FromYmd(2024, 2, 29));
  EXPECT_TRUE(Date::FromYmd(2000, 2, 29));
  EXPECT_FALSE(Date::FromYmd(1900, 2, 29));
  EXPECT_FALSE(Date::FromYmd(2026, 2, 29));
  EXPECT_FALSE(Date::FromYmd(2026, 4, 31));
  EXPECT_FALSE(Date::FromYmd(2026, 13, 1));
  EXPECT_FALSE(Date::FromYmd(2026, 0, 1));
  EXPECT_FALSE(Date::FromYmd(0, 1, 1));
  EXPECT_FALSE(Date::FromYmd(10000, 1, 1));
}

TEST(Date, ShowsDayMonthFourDigitYear) {
  const Date date = *Date::FromYmd(2005, 7, 5);
  EXPECT_EQ(date.ToText(), "05/07/2005");
  EXPECT_EQ(Date::FromText("05/07/2005"), date);
  EXPECT_EQ(Date().ToText(), "  /  /    ");
  EXPECT_TRUE(Date::FromText("  /  /    ").IsEmpty());
  EXPECT_TRUE(Date::FromText("31/02/2026").IsEmpty());
  EXPECT_TRUE(Date::FromText("5/7/2005").IsEmpty());
}

TEST(Date, StoredFormIsYearMonthDayDigits) {
  const Date date = *Date::FromYmd(2026, 12, 24);
  EXPECT_EQ(date.ToStored(), "20261224");
  EXPECT_EQ(Date::FromStored("20261224"), date);
  EXPECT_EQ(Date().ToStored(), "        ");
  EXPECT_TRUE(Date::FromStored("        ").IsEmpty());
  EXPECT_TRUE(Date::FromStored("20261340").IsEmpty());
  EXPECT_TRUE(Date::FromStored("2026122").IsEmpty());
  EXPECT_TRUE(Date::FromStored("2026-1-1").IsEmpty());
}

TEST(Date, JulianDaysCountWholeDays) {
  // Automation dates count days from 30 December 1899: 1 January 1900 is day 2.
  EXPECT_EQ(Date::FromYmd(1900, 1, 1)->JulianDay() - 2415019, 2);
  const Date leapDay = *Date::FromYmd(2024, 2, 29);
  EXPECT_EQ(Date::FromJulianDay(leapDay.JulianDay() + 1), *Date::FromYmd(2024, 3, 1));
  EXPECT_EQ(Date::FromJulianDay(leapDay.JulianDay()).Day(), 29);
  EXPECT_TRUE(Date::FromJulianDay(0).IsEmpty());
  EXPECT_TRUE(Date::FromJulianDay(99999999).IsEmpty());
}

TEST(Date, EmptyDateOrdersFirst) {
  const Date earlier = *Date::FromYmd(2026, 12, 7);
  const Date later = *Date::FromYmd(2026, 12, 8);
  EXPECT_LT(Date(), earlier);
  EXPECT_LT(earlier, later);
  EXPECT_EQ(later.Year(), 2026);
  EXPECT_EQ(later.Month(), 12);
  EXPECT_EQ(Date().Year(), 0);
}

TEST(Date, TodayIsARealDate) {
  const Date today = Date::Today();
  EXPECT_FALSE(today.IsEmpty());
  EXPECT_GE(today.Year(), 2024);
}

}  // namespace
}  // namespace memotab
