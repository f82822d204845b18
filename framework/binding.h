#pragma once

#include <functional>

namespace memotab {

// The binding between a control and one of the application's variables: `get` reads the
// variable when the control is initialised, `set` stores the control's value into it.
template <typename T>
struct SetGet {
  std::function<T()> get;
  std::function<void(const T&)> set;
};

// A binding to a variable that outlives the control.
template <typename T>
SetGet<T> Bind(T& variable) {
  return {[&variable] { return variable; }, [&variable](const T& value) { variable = value; }};
}

}  // namespace memotab
