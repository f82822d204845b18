// memotab-db: makes and inspects note tables.
//   memotab-db create DIR      writes an empty DIR/MEMOTAB.DBF + DIR/MEMOTAB.FPT
//   memotab-db dump FILE.DBF   one JSON object per record, in record order
//   memotab-db check FILE.DBF  exit 0 when the table and its memo file are sound
#include <cstdio>
#include <string>
#include <string_view>

#include "json_record.h"
#include "note_table.h"
#include "runtime_error.h"
#include "table.h"

namespace {

using namespace memotab;

constexpr const char* kUsage =
    "usage: memotab-db create DIR\n"
    "       memotab-db dump FILE.DBF\n"
    "       memotab-db check FILE.DBF\n";

std::string InDirectory(std::string directory, const char* name) {
  if (!directory.empty() && directory.back() != '/' && directory.back() != '\\') directory += '/';
  return directory + name;
}

int Create(const std::string& directory) {
  const std::string path = InDirectory(directory, kNoteTableName);
  CreateTable(path, NoteTableFields(), kNoteTableVersion, kNoteTableCodePage);
  std::printf("created %s\n", path.c_str());
  return 0;
}

int Dump(const std::string& path) {
  Table table = Table::Open(path, FileAccess::kReadOnly);
  for (table.GoTop(); !table.Eof(); table.Skip()) std::printf("%s\n", RecordAsJson(table).c_str());
  return 0;
}

int Check(const std::string& path) {
  Table table = Table::Open(path, FileAccess::kReadOnly);
  for (table.GoTop(); !table.Eof(); table.Skip()) table.CheckRecord();
  std::printf("%s: sound, %u records\n", path.c_str(), table.LastRec());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string_view command = argv[1];
  const std::string argument = argv[2];
  try {
    if (command == "create") return Create(argument);
    if (command == "dump") return Dump(argument);
    if (command == "check") return Check(argument);
  } catch (const RuntimeError& error) {
    std::fprintf(stderr, "memotab-db: %s: %s\n", error.cFileName.c_str(), error.cDescription.c_str());
    return 1;
  }
  std::fputs(kUsage, stderr);
  return 2;
}
