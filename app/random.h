#pragma once

namespace memotab {

// A whole number from 0 to n inclusive, from a seed that the time of day keeps stirring.
int NRANDOM(int n = 65535);

}  // namespace memotab
