#pragma once

namespace memotab {

// Makes the reminder timer: every 6 seconds, owned by the main window, it runs CHECAAVISOS.
void ACTIVATEMPO();
// One tick of the reminder timer: an idle animation of a visible assistant about once a
// minute, then every note whose reminder falls due is announced once, in record order,
// through the assistant or in an announcement window (AGENTE/USAR). A note that cannot be
// checked goes to the error handler once and is skipped for the rest of the run.
void CHECAAVISOS();
// Stops and ends the reminder timer, for good.
void ENDTEMPO();

}  // namespace memotab
