#pragma once

// The Windows headers, as the framework's own sources include them.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

// The framework calls the ANSI function by its own name; the bare name is a method of TBitmap.
#undef LoadImage
