// Memotab's entry point: the error handler first, then the program.
#include "error_block.h"
#include "error_report.h"
#include "startup.h"

int main() {
  memotab::ERRORSYS();
  return memotab::GuardErrors(
      [] {
        memotab::MAIN();
        return 0;
      },
      1);
}
