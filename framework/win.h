#pragma once

// The Windows headers, as the framework's own sources include them.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

// The framework calls these ANSI functions by their own names; the bare names are methods
// of the framework's classes (TBitmap, TActiveX).
#undef LoadImage
#undef GetProp
#undef SetProp
