#include "about.h"

#include <fstream>
#include <sstream>

#include "call_stack.h"
#include "paths.h"
#include "startup.h"
#include "t_button.h"
#include "t_dialog.h"
#include "t_get.h"
#include "t_say.h"

namespace memotab {

namespace {

// The whole file as one text with Windows line ends; "" when it cannot be read.
std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  std::string text;
  for (const char c : content.str()) {
    if (c == '\n' && (text.empty() || text.back() != '\r')) text += '\r';
    text += c;
  }
  return text;
}

}  // namespace

void ACERCA() {
  const Routine routine;
  const DialogPtr dialog = TDialog::New({.cResName = "ACERCA"});
  dialog->lHelpIcon = false;
  TSay::ReDefine(500, [] { return std::string(kProgramTitle); }, *dialog);
  TButtonBmp::ReDefine(400, [owner = dialog.get()] { owner->End(); }, *dialog, "ACEPTAR");
  TButton::ReDefine(300, [] { ACERCAMSAGENT(); }, *dialog);
  dialog->Activate();
}

void ACERCAMSAGENT() {
  const Routine routine;
  std::string text = ReadText(CurrentDirectoryFile(kAgentInfoFile));
  const DialogPtr dialog = TDialog::New({.cResName = "MSAGENT"});
  dialog->lHelpIcon = false;
  const auto view = TMultiGet::ReDefine(101, Bind(text), *dialog, true);
  view->oFont = TFont::New("COURIER", 0, -10);
  const auto accept = TButtonBmp::ReDefine(102, [owner = dialog.get()] { owner->End(); }, *dialog, "ACEPTAR");
  dialog->Activate({.lCentered = true, .bInit = [button = accept.get()](TDialog&) {
                      button->SetFocus();
                      return false;
                    }});
}

}  // namespace memotab
