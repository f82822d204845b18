#pragma once

#include "win.h"

namespace memotab::test {

// The GDI objects a process holds (this one by default). Wine's GetGuiResources counts no
// GDI objects, so under Wine the used entries of the process's GDI handle table (which its
// process environment block points to) are counted instead. -1 when they cannot be counted.
long long CountGdiObjects(HANDLE process = GetCurrentProcess());

}  // namespace memotab::test
