#pragma once

#include <functional>
#include <string>
#include <vector>

#include "builtin_objects.h"

namespace memotab::character {

// A built-in object of the character service, declared member by member so that every
// member keeps the rules by which the bridge calls: a property answers a read (or a method
// call) with its value and takes a write when it can be written; a method acts on the
// first call however it comes, read or call. A member that cannot take the call answers
// "member not found" or "bad parameter count" without doing anything; one that the system
// lets down (a window it cannot make) answers with an exception that gives the reason.
class ServiceObject : public BuiltInDispatch {
 protected:
  using Reader = std::function<void(VARIANT* result)>;
  // Takes the written value; answers DISP_E_TYPEMISMATCH for a value it cannot take.
  using Writer = std::function<HRESULT(const VARIANT& value)>;
  using Action = std::function<void(const std::vector<const VARIANT*>& args, VARIANT* result)>;

  void Property(const std::wstring& name, Reader read, Writer write = {});
  // Writers that take the value as text, as a number or as a logical (any number but 0
  // is true) and refuse anything else.
  static Writer TextWriter(std::function<void(const std::wstring&)> take);
  static Writer NumberWriter(std::function<void(double)> take);
  static Writer LogicalWriter(std::function<void(bool)> take);
  // `arguments` is how many arguments the method needs at least.
  void Method(const std::wstring& name, size_t arguments, Action act);
};

}  // namespace memotab::character
