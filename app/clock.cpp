#include "clock.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace memotab {

namespace {

std::function<LocalTime()>& TestClock() {
  static std::function<LocalTime()> clock;
  return clock;
}

LocalTime SystemClock() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t whole = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &whole);
#else
  localtime_r(&whole, &local);
#endif
  const auto sinceSecond = now - std::chrono::system_clock::from_time_t(whole);
  const auto hundredths = std::chrono::duration_cast<std::chrono::milliseconds>(sinceSecond).count() / 10;
  return {Date::FromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).value_or(Date{}),
          local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + static_cast<double>(hundredths) / 100.0};
}

}  // namespace

LocalTime NOW() { return TestClock() ? TestClock()() : SystemClock(); }

Date DATE() { return NOW().dDate; }

double SECONDS() { return NOW().nSeconds; }

std::string TIME() {
  const long whole = std::lround(std::floor(SECONDS()));
  char text[16];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", whole / 3600 % 24, whole / 60 % 60, whole % 60);
  return text;
}

void ForTestingSetClock(std::function<LocalTime()> clock) { TestClock() = std::move(clock); }

}  // namespace memotab
