#pragma once

// The Windows headers, as the framework's own sources include them.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
