#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reminder_due.h"
#include "t_ms_agent.h"
#include "t_timer.h"
#include "t_window.h"
#include "table.h"

namespace memotab {

// What the application holds for the whole run.

inline WindowPtr oWndMain;                     // the hidden main window; closing it ends the program
inline std::shared_ptr<TTimer> oTimer;         // the reminder timer, from its start until the exit button ends it
inline DueMinutes oDueMinutes;                 // the minutes the reminder timer has covered
inline std::vector<std::string> aAnimations;   // idle animation names
inline int nTicks = 0;                         // timer ticks since the last idle animation
inline bool lUseAgent = true;                  // reminders are spoken by the assistant
inline bool lAgentVisible = true;              // the assistant shows at start-up
inline std::string cAgentFile;                 // the character file chosen at start-up ("" for none)
inline std::string cAgentName;                 // its name: the file name without folder and extension
inline std::shared_ptr<TMsAgent> oAgent;       // the assistant
inline std::vector<WindowPtr> aNoteWindows;    // the window of each note opened in this run, by record number - 1
inline std::optional<Table> oNota;             // the note table, known by its alias "Nota"

// The note table "Nota"; raises RuntimeError when it is not open.
Table& NoteTable();

}  // namespace memotab
