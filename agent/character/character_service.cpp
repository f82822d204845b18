#include "character_service.h"

#include "balloon_dialog_control.h"
#include "builtin_objects.h"
#include "character_control.h"
#include "t_ms_agent.h"

namespace memotab::character {

namespace {

// The resource that holds the first character's file.
constexpr const char* kBuiltInCharacterResource = "PERSONAJE";

}  // namespace

std::shared_ptr<const CharacterFile> BuiltInCharacter() {
  const HRSRC found = FindResourceA(nullptr, kBuiltInCharacterResource, reinterpret_cast<LPCSTR>(RT_RCDATA));
  if (found == nullptr) return nullptr;
  const HGLOBAL loaded = LoadResource(nullptr, found);
  const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
  if (bytes == nullptr) return nullptr;
  try {
    return std::make_shared<const CharacterFile>(ReadCharacterFile({bytes, SizeofResource(nullptr, found)}));
  } catch (const CharacterFileError&) {
    return nullptr;
  }
}

void RegisterCharacterService() {
  RegisterBuiltInObject(kAgentProgId, [] { return NewCharacterControl(&BuiltInCharacter); });
  RegisterBuiltInObject(kBalloonProgId, [] { return NewBalloonDialogControl(); });
}

}  // namespace memotab::character
