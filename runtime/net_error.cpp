#include "net_error.h"

namespace memotab {

namespace {
bool netError = false;
}

bool NETERR() { return netError; }
void SETNETERR(bool value) { netError = value; }

}  // namespace memotab
