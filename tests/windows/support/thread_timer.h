#pragma once

#include "win.h"

namespace memotab::test {

// A timer of this thread (without a window) that calls `tick`, killed when this goes: also
// when a failed assertion leaves the test early, so that it never ticks inside a later test.
class ThreadTimer {
 public:
  ThreadTimer(UINT milliseconds, TIMERPROC tick) : id_(SetTimer(nullptr, 0, milliseconds, tick)) {}
  ~ThreadTimer() { KillTimer(nullptr, id_); }
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;

 private:
  UINT_PTR id_;
};

}  // namespace memotab::test
