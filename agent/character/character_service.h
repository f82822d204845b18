#pragma once

#include <memory>

#include "character_file.h"

namespace memotab::character {

// Registers Memotab's own character service ("Agent.Control.2") and balloon dialog
// control ("BlnDialog.Balloon") among the program's built-in automation objects, so that
// the assistant finds them where the system has none. Call it before the assistant
// object is made.
void RegisterCharacterService();

// Memotab's first character, carried in the program itself; nothing when the program
// holds none or it cannot be read.
std::shared_ptr<const CharacterFile> BuiltInCharacter();

}  // namespace memotab::character
