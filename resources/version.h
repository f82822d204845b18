// Memotab's version, read by the version resource, the program and the installer script.
#pragma once

#define MEMOTAB_VERSION_MAJOR 1
#define MEMOTAB_VERSION_MINOR 6
#define MEMOTAB_VERSION_TEXT "1.6"
#define MEMOTAB_PROGRAM_TITLE "Memotab v" MEMOTAB_VERSION_TEXT
