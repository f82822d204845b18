// Which reminders a tick of the reminder timer announces: the current minute, the minutes
// that passed since the last completed scan, never the same minute twice.
#include <gtest/gtest.h>

#include "reminder_due.h"

namespace memotab {
namespace {

const Date kDay = *Date::FromYmd(2026, 12, 8);

MinuteStamp At(int hours, int minutes, Date day = kDay) {
  return MinuteOf({day, hours * 3600.0 + minutes * 60.0 + 17.5});
}

TEST(ReminderMinute, OnlyAnExactTwentyFourHourTimeNamesAMinute) {
  EXPECT_EQ(ReminderMinute(kDay, "09:05"), At(9, 5));
  EXPECT_EQ(ReminderMinute(kDay, "00:00"), At(0, 0));
  EXPECT_EQ(ReminderMinute(kDay, "23:59"), At(23, 59));
  for (const char* malformed : {"  :  ", "12345", "9:05 ", " 9:05", "24:00", "23:60", "09-05", "0905", "", "-1:05"}) {
    EXPECT_EQ(ReminderMinute(kDay, malformed), std::nullopt) << malformed;
  }
  EXPECT_EQ(ReminderMinute(Date{}, "09:05"), std::nullopt);
  EXPECT_EQ(At(0, 0, *Date::FromYmd(2026, 12, 9)), At(23, 59) + 1);
}

TEST(DueMinutes, TheFirstScanCoversItsOwnMinuteOnly) {
  DueMinutes minutes;
  minutes.Begin(At(9, 5));
  EXPECT_TRUE(minutes.Includes(At(9, 5)));
  EXPECT_FALSE(minutes.Includes(At(9, 4)));  // passed while the program was not running
  EXPECT_FALSE(minutes.Includes(At(9, 6)));
}

TEST(DueMinutes, AReminderOfTheLastSecondsOfAMinuteIsDueInTheNext) {
  DueMinutes minutes;
  minutes.Begin(At(9, 5));
  minutes.Complete();  // the scan of 09:05:52; a reminder for 09:05 is saved at 09:05:58
  minutes.Begin(At(9, 6));
  EXPECT_TRUE(minutes.Includes(At(9, 5)));
  EXPECT_FALSE(minutes.Includes(At(9, 4)));

  DueMinutes started;  // the program started at 09:05:58, as the start-up covers it
  started.Begin(At(9, 5));
  started.Complete();
  started.Begin(At(9, 6));
  EXPECT_TRUE(started.Includes(At(9, 5)));
  EXPECT_TRUE(started.Includes(At(9, 6)));
  EXPECT_FALSE(started.Includes(At(9, 4)));  // before the start: left to the pending report
}

TEST(DueMinutes, MinutesThatPassedDuringALongScanOrASleepAreCoveredOnce) {
  DueMinutes minutes;
  minutes.Begin(At(9, 5));
  minutes.Complete();
  minutes.Begin(At(9, 5));  // the same minute again
  EXPECT_TRUE(minutes.Includes(At(9, 5)));
  minutes.Complete();
  minutes.Begin(At(11, 40));  // a box stayed open, or the computer slept
  EXPECT_FALSE(minutes.Includes(At(9, 4)));
  EXPECT_TRUE(minutes.Includes(At(9, 5)));  // saved after its record was scanned in 09:05
  EXPECT_TRUE(minutes.Includes(At(9, 6)));
  EXPECT_TRUE(minutes.Includes(At(11, 39)));
  EXPECT_TRUE(minutes.Includes(At(11, 40)));
  EXPECT_FALSE(minutes.Includes(At(11, 41)));
  minutes.Complete();
  minutes.Begin(At(11, 41));
  EXPECT_FALSE(minutes.Includes(At(10, 0)));
}

TEST(DueMinutes, AScanThatDidNotCompleteLeavesItsMinutesToTheNext) {
  DueMinutes minutes;
  minutes.Begin(At(9, 5));
  minutes.Complete();
  minutes.Begin(At(9, 7));  // this scan ends in an error
  minutes.Begin(At(9, 8));
  EXPECT_TRUE(minutes.Includes(At(9, 6)));
  EXPECT_TRUE(minutes.Includes(At(9, 7)));
}

TEST(DueMinutes, AClockSetBackTakesTheCoveredMinuteBack) {
  DueMinutes minutes;
  minutes.Begin(At(3, 10));
  minutes.Complete();
  minutes.Begin(At(2, 10));  // the end of summer time
  EXPECT_TRUE(minutes.Includes(At(2, 10)));
  EXPECT_FALSE(minutes.Includes(At(3, 0)));
  minutes.Complete();
  minutes.Begin(At(2, 40));  // the repeated hour goes on
  EXPECT_TRUE(minutes.Includes(At(2, 30)));
  EXPECT_FALSE(minutes.Includes(At(2, 9)));
}

TEST(IsReminderDue, AnAnnouncedOrMalformedReminderIsNeverDue) {
  DueMinutes minutes;
  minutes.Begin(At(9, 5));
  EXPECT_TRUE(IsReminderDue(minutes, kDay, "09:05", "."));
  EXPECT_TRUE(IsReminderDue(minutes, kDay, "09:05", " "));
  EXPECT_FALSE(IsReminderDue(minutes, kDay, "09:05", "X"));
  EXPECT_FALSE(IsReminderDue(minutes, kDay, "  :  ", "."));
  EXPECT_FALSE(IsReminderDue(minutes, *Date::FromYmd(2026, 12, 7), "09:05", "."));
}

}  // namespace
}  // namespace memotab
