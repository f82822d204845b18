#pragma once

namespace memotab {

inline constexpr const char* kAgentInfoFile = "MsAgent.txt";

// The about box, with the program's name and its credits.
void ACERCA();
// The assistant's information: the text of MsAgent.txt from the working directory.
void ACERCAMSAGENT();

}  // namespace memotab
