#pragma once

#include <map>
#include <string>

#include "win.h"

namespace memotab::test {

// The GDI objects a process holds (this one by default). Wine's GetGuiResources counts no
// GDI objects, so under Wine the used entries of the process's GDI handle table (which its
// process environment block points to) are counted instead. -1 when they cannot be counted.
long long CountGdiObjects(HANDLE process = GetCurrentProcess());

// The same objects by kind ("dc", "memory dc", "region", "bitmap", "brush", "pen", "font",
// …; an unknown kind by its number), read from the handle table; empty when it cannot be read.
std::map<std::string, long long> CountGdiObjectsByKind(HANDLE process = GetCurrentProcess());

}  // namespace memotab::test
