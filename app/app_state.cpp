#include "app_state.h"

#include "framework_error.h"

namespace memotab {

Table& NoteTable() {
  if (!oNota) ThrowFrameworkError("The note table is not open", EG_ARG);
  return *oNota;
}

}  // namespace memotab
