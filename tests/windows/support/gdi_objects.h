#pragma once

#include "win.h"

namespace memotab::test {

// The GDI objects a process holds (this one by default): the used entries of its GDI
// handle table, which its process environment block points to. Wine's GetGuiResources
// counts no GDI objects, so the table is read instead. -1 when it cannot be read.
long long CountGdiObjects(HANDLE process = GetCurrentProcess());

}  // namespace memotab::test
