#pragma once

#include <cstdint>

// Windows handle and message types, declared exactly as <windows.h> declares them, so
// that code above the framework can hold them without including the Windows headers.
#define MEMOTAB_DECLARE_HANDLE(name) \
  struct name##__;                   \
  typedef struct name##__* name

MEMOTAB_DECLARE_HANDLE(HWND);
MEMOTAB_DECLARE_HANDLE(HDC);
MEMOTAB_DECLARE_HANDLE(HBRUSH);
MEMOTAB_DECLARE_HANDLE(HFONT);
MEMOTAB_DECLARE_HANDLE(HICON);
MEMOTAB_DECLARE_HANDLE(HBITMAP);
MEMOTAB_DECLARE_HANDLE(HMENU);
MEMOTAB_DECLARE_HANDLE(HINSTANCE);
#undef MEMOTAB_DECLARE_HANDLE
typedef HICON HCURSOR;

typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;

struct tagPAINTSTRUCT;
