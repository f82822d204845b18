// The application's clock and its random numbers.
#include <gtest/gtest.h>

#include <set>

#include "clock.h"
#include "random.h"

namespace memotab {
namespace {

class ClockTest : public ::testing::Test {
 protected:
  void TearDown() override { ForTestingSetClock({}); }
  void SetClock(double seconds) {
    ForTestingSetClock([seconds] { return LocalTime{*Date::FromYmd(2026, 10, 5), seconds}; });
  }
};

TEST_F(ClockTest, TimeOfDayIsWrittenWithLeadingZeros) {
  SetClock(9 * 3600 + 5 * 60 + 7.99);
  EXPECT_EQ(TIME(), "09:05:07");
  EXPECT_EQ(DATE(), *Date::FromYmd(2026, 10, 5));
  SetClock(23 * 3600 + 59 * 60 + 59.5);
  EXPECT_EQ(TIME(), "23:59:59");
  SetClock(0);
  EXPECT_EQ(TIME(), "00:00:00");
}

TEST_F(ClockTest, TheComputersClockIsUsedWhenNoneIsSet) {
  const LocalTime now = NOW();
  EXPECT_FALSE(now.dDate.IsEmpty());
  EXPECT_GE(now.nSeconds, 0);
  EXPECT_LT(now.nSeconds, 86400);
}

TEST_F(ClockTest, RandomNumbersStayWithinZeroToNAndReachBothEnds) {
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    SetClock(36000 + i * 0.37);
    const int r = NRANDOM(9);
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 9);
    seen.insert(r);
  }
  EXPECT_EQ(seen.size(), 10u);
  for (int i = 0; i < 500; ++i) {
    SetClock(50000 + i * 1.01);
    const int r = NRANDOM();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 65535);
    EXPECT_LE(NRANDOM(0), 0);
  }
}

TEST_F(ClockTest, SuccessiveNumbersDifferEvenWhenTheClockStandsStill) {
  SetClock(43210.25);
  std::set<int> seen;
  for (int i = 0; i < 20; ++i) seen.insert(NRANDOM(65));
  EXPECT_GT(seen.size(), 5u);
}

}  // namespace
}  // namespace memotab
