// Starts up as a second copy of the program does, as far as its open of the note table, and
// stops half-way through that open: it claims the table, opens the table file and, before it
// opens the memo file, writes "holding" and waits for the end of its input. It writes "in
// use" instead when the claim or the open finds the table taken, "opened" when it got both.
//   memotab_second_copy_probe TABLE
#include <cstdio>
#include <string>

#include "runtime_error.h"
#include "single_copy_guard.h"
#include "table.h"

namespace {

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace memotab;
  if (argc != 2) return 2;
  const std::string table = argv[1];
  const SingleCopyGuard guard(table);
  if (guard.IsTakenElsewhere()) {
    Say("in use");
    return 0;
  }
  SetFileStepHook([&](FileStep step, const std::string& path) {
    if (step != FileStep::kOpen || path == table) return;
    Say("holding");
    while (std::fgetc(stdin) != EOF) {
    }
  });
  try {
    Table::Open(table, FileAccess::kReadWriteAlone);
    Say("opened");
  } catch (const RuntimeError& error) {
    Say(error.IsInUse() ? "in use" : error.what());
  }
  return 0;
}
