#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "t_window.h"

namespace memotab {

// The registry of live window objects. A window holds one slot (1-based) from the moment
// it is linked until it is unlinked; a freed slot is taken by the next window before the
// registry grows. The slot number is kept in the system window's user-data word.
size_t RegistryLink(const WindowPtr& window);
void RegistryUnlink(size_t slot);
WindowPtr RegistryAt(size_t slot);
// Number of slots, free ones included.
size_t RegistrySize();
// The system window classes the framework has registered, in order.
void NoteRegisteredClass(const std::string& name);
std::vector<std::string> RegisteredWindowClasses();

// The object of a system window linked to the registry, or nothing.
WindowPtr WindowOf(HWND hWnd);

}  // namespace memotab
