#include "call_stack.h"

namespace memotab {

namespace {

struct Frame {
  std::string name;
  int line;
};

std::vector<Frame>& Frames() {
  static std::vector<Frame> frames;  // one user-interface thread
  return frames;
}

// "void memotab::MAIN()" -> "MAIN"; "memotab::Table memotab::Table::Open(...)" -> "Table::Open"
std::string BareName(std::string_view signature) {
  signature = signature.substr(0, signature.find('('));
  const size_t space = signature.rfind(' ');
  if (space != std::string_view::npos) signature.remove_prefix(space + 1);
  std::string name(signature);
  for (const std::string_view scope : {"memotab::", "{anonymous}::"}) {
    for (size_t at; (at = name.find(scope)) != std::string::npos;) name.erase(at, scope.size());
  }
  return name;
}

}  // namespace

Routine::Routine(std::source_location where)
    : Routine(BareName(where.function_name()), static_cast<int>(where.line())) {}

Routine::Routine(std::string name, int line) { Frames().push_back({std::move(name), line}); }

Routine::~Routine() { Frames().pop_back(); }

std::vector<std::string> CallStack() {
  std::vector<std::string> lines;
  for (auto frame = Frames().rbegin(); frame != Frames().rend(); ++frame) {
    lines.push_back(frame->name + "(" + std::to_string(frame->line) + ")");
  }
  return lines;
}

}  // namespace memotab
