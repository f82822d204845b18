#include "window_class.h"

#include <set>
#include <stdexcept>
#include <string>

namespace memotab::character {

void RegisterWindowClassOnce(const char* name, WNDPROC procedure) {
  static std::set<std::string> registered;
  if (registered.contains(name)) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpszClassName = name;
  if (RegisterClassExA(&windowClass) == 0) throw std::runtime_error(std::string("no se puede registrar la clase de ventana ") + name);
  registered.insert(name);
}

}  // namespace memotab::character
