#pragma once

#include <map>
#include <string>

#include "win.h"

namespace memotab::test {

// The GDI objects a process holds (this one by default): the used entries of its GDI
// handle table, which its process environment block points to. Wine's GetGuiResources
// counts no GDI objects, so the table is read instead. -1 when it cannot be read.
long long CountGdiObjects(HANDLE process = GetCurrentProcess());

// The same objects by kind ("dc", "memory dc", "region", "bitmap", "brush", "pen", "font",
// …; an unknown kind by its number), read from the handle table; empty when it cannot be read.
std::map<std::string, long long> CountGdiObjectsByKind(HANDLE process = GetCurrentProcess());

}  // namespace memotab::test
