#pragma once

#include <functional>

namespace memotab {

// The command identifiers of menu items. They count up from 20000; past 65535, the largest
// identifier a command message carries, they start again at 20000. Values that are in use
// at that moment (by a live item, or as the handle of a live menu, which the system uses to
// name an item that opens a submenu) are skipped.
class MenuCommandIds {
 public:
  static constexpr int kFirst = 20000;
  static constexpr int kLast = 65535;

  // The next identifier for which `inUse` is false. Raises RuntimeError when every
  // identifier is in use.
  int Next(const std::function<bool(int)>& inUse);
  // Makes `id` the next candidate (tests start near the end of the range).
  void SetNextForTesting(int id) { next_ = id; }

 private:
  int next_ = kFirst;
};

}  // namespace memotab
