#include "error_block.h"

#include <new>

#include "framework_error.h"

namespace memotab {

namespace {

ErrorBlock& CurrentBlock() {
  static ErrorBlock block;
  return block;
}

}  // namespace

void SetErrorBlock(ErrorBlock block) { CurrentBlock() = std::move(block); }

ErrorAnswer HandleError(const RuntimeError& error) {
  if (!CurrentBlock()) std::terminate();  // no handler at all: nothing can decide
  return CurrentBlock()(error);
}

RuntimeError AsRuntimeError(std::exception_ptr exception) {
  try {
    std::rethrow_exception(exception);
  } catch (const RuntimeError& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return RuntimeError(EG_MEM, kFrameworkName, EG_MEM, "Not enough memory");
  } catch (const std::exception& error) {
    return RuntimeError(EG_ARG, kFrameworkName, EG_ARG, std::string("Unexpected failure: ") + error.what());
  } catch (...) {
    return RuntimeError(EG_ARG, kFrameworkName, EG_ARG, "Unexpected failure of an unknown kind");
  }
}

}  // namespace memotab
