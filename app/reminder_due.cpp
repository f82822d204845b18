#include "reminder_due.h"

namespace memotab {

namespace {

constexpr MinuteStamp kMinutesPerDay = 24 * 60;

// The value of two decimal digits; nothing when either is not a digit.
std::optional<int> TwoDigits(std::string_view text) {
  if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') return std::nullopt;
  return (text[0] - '0') * 10 + (text[1] - '0');
}

}  // namespace

MinuteStamp MinuteOf(const LocalTime& when) {
  return when.dDate.JulianDay() * kMinutesPerDay + static_cast<MinuteStamp>(when.nSeconds) / 60;
}

std::optional<MinuteStamp> ReminderMinute(Date dFecha, std::string_view cHora) {
  if (dFecha.IsEmpty() || cHora.size() != 5 || cHora[2] != ':') return std::nullopt;
  const std::optional<int> hours = TwoDigits(cHora.substr(0, 2));
  const std::optional<int> minutes = TwoDigits(cHora.substr(3, 2));
  if (!hours || !minutes || *hours > 23 || *minutes > 59) return std::nullopt;
  return dFecha.JulianDay() * kMinutesPerDay + *hours * 60 + *minutes;
}

void DueMinutes::Begin(MinuteStamp now) {
  now_ = now;
  if (covered_ && *covered_ >= now) covered_ = now - 1;
}

bool DueMinutes::Includes(MinuteStamp reminder) const {
  if (reminder == now_) return true;
  return covered_ && reminder > *covered_ && reminder < now_;
}

bool IsReminderDue(const DueMinutes& minutes, Date dFecha, std::string_view cHora, std::string_view cStatus) {
  if (cStatus == "X") return false;
  const std::optional<MinuteStamp> minute = ReminderMinute(dFecha, cHora);
  return minute && minutes.Includes(*minute);
}

}  // namespace memotab
