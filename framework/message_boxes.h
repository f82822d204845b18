#pragma once

#include <string>

namespace memotab {

// The framework's message boxes. Unless said otherwise they are modal and owned by the
// active window.

// OK button and information icon; title "Information" when none is given.
void MSGINFO(const std::string& cText, const std::string& cTitle = "Information");
// Yes and No, question icon, No the default button; true only for Yes.
bool MSGNOYES(const std::string& cText, const std::string& cTitle = "Select an option");
// OK button and stop icon.
void MSGSTOP(const std::string& cText, const std::string& cTitle = "Stop");
// OK button and exclamation icon.
void MSGALERT(const std::string& cText, const std::string& cTitle = "Alert");
// The system's message box with these flags and no owner; returns the button's code
// (6 Yes, 7 No, 2 Cancel, 1 OK).
int MESSAGEBOX(const std::string& cText, const std::string& cTitle, unsigned nFlags);
// A prompt with the text as a label, one edit field holding `cValue`, "&Ok" and "&Cancel".
// On Ok the edited text is written back into `cValue` and the result is true.
bool MSGGET(const std::string& cTitle, const std::string& cText, std::string& cValue);
// A small window without caption showing the text while `nSeconds` pass (the event loop
// keeps running).
void MSGWAIT(const std::string& cText, const std::string& cTitle = {}, double nSeconds = 1.0);

}  // namespace memotab
