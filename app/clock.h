#pragma once

#include <functional>
#include <string>

#include "date.h"

namespace memotab {

// The local date and time of day as the application reads them: every routine that asks
// "when is it now" goes through here, so that tests can set the clock.
struct LocalTime {
  Date dDate;
  double nSeconds = 0;  // seconds since midnight, with hundredths
};

// The computer's local date and time, or the test clock when one is set.
LocalTime NOW();
// Today's date.
Date DATE();
// The time of day as "HH:MM:SS".
std::string TIME();
// Seconds since midnight, with hundredths.
double SECONDS();

// Replaces the computer's clock for tests; an empty function restores it.
void ForTestingSetClock(std::function<LocalTime()> clock);

}  // namespace memotab
