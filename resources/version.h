// Memotab's version, read by the version resource and by the installer script.
#pragma once

#define MEMOTAB_VERSION_MAJOR 1
#define MEMOTAB_VERSION_MINOR 6
#define MEMOTAB_VERSION_TEXT "1.6"
