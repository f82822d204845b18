// The test programs' main: first says that the program has started (the runner under Wine
// tells a start that Wine never carried out from a test that failed), then runs the tests.
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (const char* started = std::getenv("MEMOTAB_TEST_STARTED")) std::ofstream mark(started);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
