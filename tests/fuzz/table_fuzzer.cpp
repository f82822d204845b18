// libFuzzer target for the table and memo readers. The input is split into a table file
// and a memo file (the first two bytes give the table's length); every record and every
// field of the pair is read. Reading may fail with RuntimeError, and must never crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "runtime_error.h"
#include "table.h"

namespace {

// A directory of this run's own, in memory where the system offers one (much faster). The
// path is kept in a plain array, which is still there when the run ends and removes it.
char workDirectory[64];

void RemoveWorkDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(workDirectory, ignored);
}

std::string WorkDirectory() {
  if (workDirectory[0] == '\0') {
    std::snprintf(workDirectory, sizeof workDirectory, "%s/memotab-fuzz-XXXXXX",
                  std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp");
    if (mkdtemp(workDirectory) == nullptr) std::abort();
    std::atexit(RemoveWorkDirectory);
  }
  return std::string(workDirectory) + "/";
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

void ReadEverything(memotab::Table& table) {
  table.SetDeletedHidden(table.LastRec() % 2 == 0);
  for (table.GoTop(); !table.Eof(); table.Skip()) {
    table.CheckRecord();
    for (const memotab::FieldDescriptor& field : table.Fields()) {
      switch (field.type) {
        case memotab::FieldType::kCharacter:
        case memotab::FieldType::kMemo: (void)table.GetText(field.cName); break;
        case memotab::FieldType::kNumeric: (void)table.GetNumber(field.cName); break;
        case memotab::FieldType::kDate: (void)table.GetDate(field.cName).ToText(); break;
        case memotab::FieldType::kLogical: (void)table.GetLogical(field.cName); break;
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t tableSize = std::min<size_t>(size - 2, data[0] | data[1] << 8);
  const std::string tablePath = WorkDirectory() + "FUZZ.DBF";
  WriteFile(tablePath, data + 2, tableSize);
  WriteFile(WorkDirectory() + "FUZZ.FPT", data + 2 + tableSize, size - 2 - tableSize);
  try {
    memotab::Table table = memotab::Table::Open(tablePath, memotab::FileAccess::kReadOnly);
    ReadEverything(table);
  } catch (const memotab::RuntimeError&) {
    // A damaged pair is reported, which is all that is asked of it.
  }
  return 0;
}
