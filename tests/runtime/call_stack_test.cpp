#include "call_stack.h"

#include <gtest/gtest.h>

#include "runtime_error.h"

namespace memotab {
namespace {

RuntimeError Inner() {
  const Routine routine;
  return RuntimeError(EG_ARG, "X", 1, "fallo");
}

RuntimeError Outer() {
  const Routine routine;
  return Inner();
}

TEST(CallStack, ErrorsRememberTheRunningRoutinesInnermostFirst) {
  const RuntimeError error = Outer();
  ASSERT_EQ(error.aCallStack.size(), 2u);
  EXPECT_EQ(error.aCallStack[0].rfind("Inner(", 0), 0u) << error.aCallStack[0];
  EXPECT_EQ(error.aCallStack[1].rfind("Outer(", 0), 0u) << error.aCallStack[1];
  EXPECT_TRUE(CallStack().empty());  // the routines have ended
  {
    const Routine named("OCULTARNOTAS", 20);
    EXPECT_EQ(CallStack(), std::vector<std::string>{"OCULTARNOTAS(20)"});
  }
}

}  // namespace
}  // namespace memotab
