#pragma once

#include <functional>
#include <memory>
#include <string>

#include "character_file.h"
#include "win.h"

namespace memotab::character {

// Where the service finds the character it loads when no file is named, or when the file
// named cannot be read: the program's own first character. Nothing when there is none.
using DefaultCharacter = std::function<std::shared_ptr<const CharacterFile>()>;

// The character service's control: `Connected`, and `Characters`, the collection that
// loads characters by name (`Load`, `Character`, `Unload`). Each loaded character is an
// object with the members the assistant uses: its `Balloon`, its requests and their
// `Status`. Holds one reference for the caller.
IDispatch* NewCharacterControl(DefaultCharacter defaultCharacter);

// How many request objects are alive (made and not yet released by every holder).
size_t LiveRequestsForTesting();

}  // namespace memotab::character
