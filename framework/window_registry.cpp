#include "window_registry.h"

#include <vector>

#include "win.h"

namespace memotab {

namespace {

std::vector<WindowPtr>& Slots() {
  static std::vector<WindowPtr> slots;
  return slots;
}

}  // namespace

size_t RegistryLink(const WindowPtr& window) {
  std::vector<WindowPtr>& slots = Slots();
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!slots[i]) {
      slots[i] = window;
      return i + 1;
    }
  }
  slots.push_back(window);
  return slots.size();
}

void RegistryUnlink(size_t slot) {
  if (slot >= 1 && slot <= Slots().size()) Slots()[slot - 1].reset();
}

WindowPtr RegistryAt(size_t slot) {
  return slot >= 1 && slot <= Slots().size() ? Slots()[slot - 1] : nullptr;
}

size_t RegistrySize() { return Slots().size(); }

namespace {
std::vector<std::string> registeredClasses;
}

void NoteRegisteredClass(const std::string& name) { registeredClasses.push_back(name); }

std::vector<std::string> RegisteredWindowClasses() { return registeredClasses; }

WindowPtr WindowOf(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  WindowPtr window = RegistryAt(static_cast<size_t>(GetWindowLongPtrA(hWnd, GWLP_USERDATA)));
  return window && window->hWnd == hWnd ? window : nullptr;
}

}  // namespace memotab
