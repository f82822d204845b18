#pragma once

namespace memotab {

// Sets a flag (by default raises a re-entrancy flag) for the life of the object and puts back
// the value it had, also when a handler throws, so that the error handler's Retry or Default
// finds the flag as it was. The flag must outlive the object.
class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag, bool value = true) : flag_(flag), previous_(flag) { flag_ = value; }
  ~ScopedFlag() { flag_ = previous_; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
  const bool previous_;
};

}  // namespace memotab
