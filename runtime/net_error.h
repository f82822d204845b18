#pragma once

namespace memotab {

// The table engine's network-error flag: set when a table could not be opened because
// another process holds it, so that the caller can tell that from other failures.
bool NETERR();
void SETNETERR(bool value);

}  // namespace memotab
