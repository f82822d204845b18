// The work of the crash-safety tests, done in a process of its own so that a test can stop
// it or kill it half-way:
//   memotab_table_writer TABLE SCENARIO stop N   one round, stopped (exit code 42) right
//                                                before its file change N + 1, if it has one
//   memotab_table_writer TABLE SCENARIO forever  round after round, each one's number written
//                                                to the standard output once it is done
#include <cstdio>
#include <cstdlib>
#include <string>

#include "crash_scenarios.h"
#include "runtime_error.h"

namespace {

constexpr int kStopped = 42;

int Usage() {
  std::fputs("usage: memotab_table_writer TABLE add|retext|pack stop N | forever\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace memotab;
  if (argc < 4) return Usage();
  const std::optional<test::Scenario> scenario = test::ScenarioNamed(argv[2]);
  const std::string mode = argv[3];
  if (!scenario || (mode != "forever" && (mode != "stop" || argc != 5))) return Usage();
  try {
    Table table = Table::Open(argv[1], FileAccess::kReadWriteAlone);
    if (mode == "forever") {
      for (int round = 1;; ++round) {
        test::RunRound(*scenario, table, round);
        std::printf("%d\n", round);
        std::fflush(stdout);
      }
    }
    SetFileStepHook([changesLeft = std::atoi(argv[4])](FileStep step, const std::string&) mutable {
      if (step == FileStep::kOpen) return;
      if (changesLeft-- == 0) std::_Exit(kStopped);
    });
    test::RunRound(*scenario, table, 1);
    return 0;
  } catch (const RuntimeError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
