// Installs the program's handlers as memotab.exe does and then fails in the way asked, a
// few routines deep:
//   memotab_crash_probe access-violation | stack-overflow | terminate | uncaught-exception |
//                       nested-error
// "nested-error" raises an ordinary error and makes the first allocation after the report's
// head reaches Error.log fail, so that gathering the rest of the report fails.
#include <windows.h>

#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "call_stack.h"
#include "error_block.h"
#include "error_report.h"
#include "file.h"
#include "framework_error.h"

namespace {

bool failNextAllocation = false;

}  // namespace

void* operator new(std::size_t size) {
  if (std::exchange(failNextAllocation, false)) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace memotab {

namespace {

volatile uintptr_t nowhere = 0x10;
volatile int bottom = -1;  // never reached

[[gnu::noinline]] void ACCESSVIOLATION() {
  const Routine routine;
  *reinterpret_cast<volatile int*>(nowhere) = 1;
}

[[gnu::noinline]] int DEEPER(int depth) {
  volatile char frame[4096];
  frame[0] = static_cast<char>(depth);
  return depth == bottom ? 0 : DEEPER(depth + 1) + frame[0];
}

[[gnu::noinline]] void STACKOVERFLOW() {
  const Routine routine;
  DEEPER(0);
}

[[gnu::noinline]] void THROWS() { throw std::logic_error("la nota no cabe"); }

[[gnu::noinline]] void TERMINATE() noexcept {
  const Routine routine;
  THROWS();
}

// A thread of the system's own making, with no catch anywhere on its stack.
[[gnu::noinline]] void UNCAUGHT() {
  const Routine routine;
  const HANDLE thread = CreateThread(
      nullptr, 0, [](void*) -> DWORD { throw std::runtime_error("nadie la atrapa"); }, nullptr, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
}

[[gnu::noinline]] void NESTEDERROR() {
  const Routine routine;
  SetFileStepHook([](FileStep step, const std::string& path) {
    if (step == FileStep::kWrite && path.ends_with("\\Error.log")) failNextAllocation = true;
  });
  ThrowFrameworkError("La nota no se pudo guardar", EG_WRITE);
}

int PROBE(const std::string& fault) {
  const Routine routine;
  if (fault == "access-violation") ACCESSVIOLATION();
  if (fault == "stack-overflow") STACKOVERFLOW();
  if (fault == "terminate") TERMINATE();
  if (fault == "uncaught-exception") UNCAUGHT();
  if (fault == "nested-error") NESTEDERROR();
  return 2;
}

}  // namespace

}  // namespace memotab

int main(int argc, char** argv) {
  memotab::ERRORSYS();
  const std::string fault = argc == 2 ? argv[1] : "";
  return memotab::GuardErrors([&] { return memotab::PROBE(fault); }, 1);
}
