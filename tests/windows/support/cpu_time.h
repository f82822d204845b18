#pragma once

#include <cstdint>

#include "win.h"

namespace memotab::test {

// A time span as the system gives processor times (100 ns units), in seconds.
inline double FileTimeSeconds(const FILETIME& time) {
  return static_cast<double>(static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 1e7;
}

// Seconds of processor time this process has used so far, in user and kernel mode.
inline double CpuSeconds() {
  FILETIME created{}, ended{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

// The same for this thread alone.
inline double ThreadCpuSeconds() {
  FILETIME created{}, ended{}, kernel{}, user{};
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
  return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

}  // namespace memotab::test
