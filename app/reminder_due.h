#pragma once

#include <optional>
#include <string_view>

#include "clock.h"
#include "date.h"

namespace memotab {

// A minute of the calendar, counted from the start of the Julian day count; later minutes
// are greater.
using MinuteStamp = long long;

MinuteStamp MinuteOf(const LocalTime& when);
// The minute a reminder names by its date and its time "HH:MM" (two digits, a colon, two
// digits, hours 00 to 23 and minutes 00 to 59); nothing for an empty date or any other
// time, which can never fall due.
std::optional<MinuteStamp> ReminderMinute(Date dFecha, std::string_view cHora);

// The minutes whose reminders the reminder timer announces: the current minute, and every
// minute after the last one that a completed scan covered, so that a reminder whose minute
// passed while the previous scan waited (a box open, a long speech, a computer asleep) is
// still announced. A completed scan covers the minutes before the one it began in: a
// reminder saved for that minute after its record was scanned is still due in the next
// minute, and `STATUS` "X" keeps announced ones from repeating. Before any scan only the
// current minute is due (start-up covers the minutes before its own): what fell due while
// the program was not running is left to the pending report. A clock that goes back takes
// the covered minute back with it.
class DueMinutes {
 public:
  // A scan starts at `now`.
  void Begin(MinuteStamp now);
  // Whether a reminder of that minute falls due in the scan begun last.
  bool Includes(MinuteStamp reminder) const;
  // The scan begun last went through every record.
  void Complete() { covered_ = now_ - 1; }

 private:
  std::optional<MinuteStamp> covered_;  // the minute before the one the last completed scan began in
  MinuteStamp now_ = 0;
};

// Whether a note's reminder falls due in the scan that `minutes` began: not announced yet
// (`STATUS` other than "X") and its minute among those the scan announces.
bool IsReminderDue(const DueMinutes& minutes, Date dFecha, std::string_view cHora, std::string_view cStatus);

}  // namespace memotab
