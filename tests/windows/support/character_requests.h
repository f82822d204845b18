#pragma once

#include <chrono>

#include "character_actor.h"
#include "event_loop.h"

namespace memotab::test {

// Waits with the event loop running until the request has ended, or the time is up; its
// status then.
inline character::RequestStatus Finished(const character::CharacterActor::Request& request,
                                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  using character::RequestStatus;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while ((*request == RequestStatus::kPending || *request == RequestStatus::kInProgress) &&
         std::chrono::steady_clock::now() < deadline) {
    SYSWAIT(0.01);
  }
  return *request;
}

}  // namespace memotab::test
