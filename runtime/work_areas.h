#pragma once

#include <string>
#include <vector>

namespace memotab {

class Table;

// The tables the program has open, each in a numbered work area under an alias, as error
// reports list them.
struct WorkArea {
  int nArea;
  std::string cAlias;
  const Table* table;
};

// Puts an open table in the first free work area and makes it current; returns the area.
int UseWorkArea(std::string alias, const Table& table);
void CloseWorkArea(int area);
std::vector<WorkArea> WorkAreas();
int CurrentWorkArea();  // 0 when no table is open

}  // namespace memotab
