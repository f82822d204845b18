#include "dc_calls.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace memotab::test {

namespace {

int taken = 0;
int givenBack = 0;
std::vector<HDC> painting;  // taken by BeginPaint, not yet given back by EndPaint

decltype(&GetDC) realGetDC = nullptr;
decltype(&GetDCEx) realGetDCEx = nullptr;
decltype(&GetWindowDC) realGetWindowDC = nullptr;
decltype(&ReleaseDC) realReleaseDC = nullptr;
decltype(&BeginPaint) realBeginPaint = nullptr;
decltype(&EndPaint) realEndPaint = nullptr;

HDC Took(HDC dc) {
  if (dc != nullptr) ++taken;
  return dc;
}

HDC WINAPI CountedGetDC(HWND window) { return Took(realGetDC(window)); }
HDC WINAPI CountedGetDCEx(HWND window, HRGN clip, DWORD flags) { return Took(realGetDCEx(window, clip, flags)); }
HDC WINAPI CountedGetWindowDC(HWND window) { return Took(realGetWindowDC(window)); }
HDC WINAPI CountedBeginPaint(HWND window, PAINTSTRUCT* paint) {
  const HDC dc = Took(realBeginPaint(window, paint));
  if (dc != nullptr) painting.push_back(dc);
  return dc;
}
int WINAPI CountedReleaseDC(HWND window, HDC dc) {
  const int released = realReleaseDC(window, dc);
  if (released != 0) ++givenBack;
  return released;
}
// EndPaint gives back the DC of its BeginPaint, when that took one.
BOOL WINAPI CountedEndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (const auto began = std::ranges::find(painting, paint != nullptr ? paint->hdc : nullptr); began != painting.end()) {
    painting.erase(began);
    ++givenBack;
  }
  return realEndPaint(window, paint);
}

// The import slot of a function of user32.dll in this program's module; nullptr when the
// module does not import it.
void** ImportSlot(const char* function) {
  auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* const dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* const nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       module->Name != 0; ++module) {
    if (_stricmp(reinterpret_cast<const char*>(base + module->Name), "user32.dll") != 0) continue;
    auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
    for (; name->u1.AddressOfData != 0; ++name, ++slot) {
      if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&slot->u1.Function);
      }
    }
  }
  return nullptr;
}

// Puts `replacement` in the function's import slot; gives what was there (nullptr when not imported).
template <typename Function>
Function Replace(const char* function, Function replacement) {
  void** const slot = ImportSlot(function);
  if (slot == nullptr) return nullptr;
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  const auto original = reinterpret_cast<Function>(*slot);
  *slot = reinterpret_cast<void*>(replacement);
  VirtualProtect(slot, sizeof *slot, protection, &protection);
  return original;
}

template <typename Function>
void Restore(const char* function, Function original) {
  if (original != nullptr) Replace(function, original);
}

}  // namespace

DcCalls::DcCalls() {
  taken = 0;
  givenBack = 0;
  painting.clear();
  realGetDC = Replace("GetDC", &CountedGetDC);
  realGetDCEx = Replace("GetDCEx", &CountedGetDCEx);
  realGetWindowDC = Replace("GetWindowDC", &CountedGetWindowDC);
  realReleaseDC = Replace("ReleaseDC", &CountedReleaseDC);
  realBeginPaint = Replace("BeginPaint", &CountedBeginPaint);
  realEndPaint = Replace("EndPaint", &CountedEndPaint);
}

DcCalls::~DcCalls() {
  Restore("GetDC", realGetDC);
  Restore("GetDCEx", realGetDCEx);
  Restore("GetWindowDC", realGetWindowDC);
  Restore("ReleaseDC", realReleaseDC);
  Restore("BeginPaint", realBeginPaint);
  Restore("EndPaint", realEndPaint);
}

int DcCalls::Taken() const { return taken; }
int DcCalls::Kept() const { return taken - givenBack; }

}  // namespace memotab::test
