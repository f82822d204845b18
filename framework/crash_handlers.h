#pragma once

namespace memotab {

// Makes every crash end as an error does, with a report: a fault the program does not
// handle (an access violation, a stack overflow...) and a call of std::terminate write
// Error.log (the fault, its code address, the routines that were running, the time), show
// the stop box and end the program with a non-zero exit code: the fault's code, or 3 after
// std::terminate. A crash while a crash is being reported ends the program at once.
// Installed by ERRORSYS, on the program's user-interface thread.
void InstallCrashHandlers();

}  // namespace memotab
