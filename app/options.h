#pragma once

#include <string>
#include <vector>

namespace memotab {

class TDialog;

// The options dialog: notes at start-up and the page buttons that act on all notes at
// once, the default colours of a new note, the assistant's character, place and use.
void OPCIONES();

// What the options dialog hands to GRABAOPC.
struct GrabaOpcParams {
  bool lShowNotes = true;                // open the notes at start-up
  int nNoteColour = 15;                  // palette positions of a new note's colours
  int nTextColour = 1;
  int nAgent = 1;                        // position of the chosen character in aAgentFiles
  bool lUseAgent = true;
  std::vector<std::string> aAgentFiles;  // the installed characters' files
  bool lAgentVisible = true;
  TDialog* oDlg = nullptr;               // the options dialog, closed first
  int nX = 0;                            // the assistant's place on the screen, in pixels
  int nY = 0;
};
// Closes the options dialog, writes its nine settings and tells the user that they take
// effect at the next start. A character position outside the list stores no file, so that
// the next start takes the first installed character.
void GRABAOPC(const GrabaOpcParams& params);

// Shows the assistant at its place from the settings (AGENTE/X, AGENTE/Y): always when
// `lObeyVisible` is false, else only when the assistant is to be visible.
void CHECAAGENTE(bool lObeyVisible = true);

}  // namespace memotab
