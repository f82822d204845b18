#pragma once

namespace memotab {

// Registers the system's common control classes (tooltips, toolbar, tabs, date picker)
// once, before the first window or dialog that uses them.
void UseCommonControls();

}  // namespace memotab
