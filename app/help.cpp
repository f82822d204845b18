#include "help.h"

#include "disk.h"
#include "free_routines.h"
#include "message_boxes.h"
#include "paths.h"
#include "startup.h"

namespace memotab {

void AYUDA() {
  // Today's systems have no viewer for the old help format; the page serves instead.
  if (FILE_EXISTS(CurrentDirectoryFile(kHelpFile)) && WINHELP(kHelpFile, 3)) return;
  const std::string page = CurrentDirectoryFile(kHelpPage);
  if (!SHELLOPEN(page)) MSGALERT("No se pudo abrir la ayuda:\r\n" + page, kProgramTitle);
}

}  // namespace memotab
