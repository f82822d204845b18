#include "random.h"

#include <cmath>
#include <optional>

#include "clock.h"

namespace memotab {

namespace {
std::optional<double> seed;  // unset until the first number is drawn
}  // namespace

int NRANDOM(int n) {
  if (n < 0) n = 0;
  const double now = SECONDS();
  if (!seed) seed = now;
  const double r = std::fmod(*seed * now, static_cast<double>(n) + 1);
  seed = r + now;
  return static_cast<int>(r);
}

}  // namespace memotab
