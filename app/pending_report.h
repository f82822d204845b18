#pragma once

namespace memotab {

// Tells the user, sentence after sentence through the assistant, how many reminders are
// pending and when each one is due and what its note says. The note table ends on the
// record that was current before.
void NOTASPENDIENTES();

}  // namespace memotab
