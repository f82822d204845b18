#include "work_areas.h"

#include <algorithm>

namespace memotab {

namespace {

std::vector<WorkArea>& Areas() {
  static std::vector<WorkArea> areas;
  return areas;
}

int current = 0;

}  // namespace

int UseWorkArea(std::string alias, const Table& table) {
  int area = 1;
  while (std::any_of(Areas().begin(), Areas().end(), [&](const WorkArea& used) { return used.nArea == area; })) ++area;
  Areas().push_back({area, std::move(alias), &table});
  current = area;
  return area;
}

void CloseWorkArea(int area) {
  std::erase_if(Areas(), [&](const WorkArea& used) { return used.nArea == area; });
  if (current == area) current = 0;
}

std::vector<WorkArea> WorkAreas() { return Areas(); }

int CurrentWorkArea() { return current; }

}  // namespace memotab
