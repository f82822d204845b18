// A table written by the engine reads the same in an independent reader (dbfread).
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "note_table.h"
#include "table.h"
#include "test_files.h"
#include "text.h"

namespace memotab {
namespace {

std::string RunAndCapture(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return {};
  std::string output;
  char buffer[4096];
  while (const size_t count = fread(buffer, 1, sizeof buffer, pipe.get())) output.append(buffer, count);
  return output;
}

TEST(Interop, EngineTableReadsTheSameInDbfread) {
  test::TempDir dir;
  const std::string path = test::CreateNoteTable(dir);
  {
    Table table = Table::Open(path, FileAccess::kReadWriteAlone);
    table.AppendBlank();
    table.SetNumber(Nota::X1, 5);
    table.SetNumber(Nota::Y1, 5);
    table.SetNumber(Nota::X2, 30);
    table.SetNumber(Nota::Y2, 20);
    table.SetNumber(Nota::CLRTEXTO, 0);
    table.SetNumber(Nota::CLRNOTA, 65535);
    table.SetText(Nota::TEXTO, "Llamar a José\r\nañadir «café» — 5€");
    table.SetDate(Nota::FECHA, *Date::FromYmd(2026, 12, 24));
    table.SetText(Nota::HORA, "09:05");
    table.SetText(Nota::STATUS, ".");
    table.SetLogical(Nota::ACTIVADA, true);
    table.AppendBlank();
    table.SetText(Nota::TEXTO, "borrada");
    table.Delete();
    table.AppendBlank();
    table.SetNumber(Nota::CLRNOTA, 16777215);
    table.SetText(Nota::TEXTO, std::string(5000, 'n'));
    table.SetText(Nota::STATUS, "X");
    table.SetLogical(Nota::ACTIVADA, false);
  }
  const std::string expected =
      R"({"ACTIVADA": true, "CLRNOTA": 65535, "CLRTEXTO": 0, "FECHA": "2026-12-24", "HORA": "09:05", )"
      R"("STATUS": ".", "TEXTO": "Llamar a José\r\nañadir «café» — 5€", "X1": 5, "X2": 30, "Y1": 5, "Y2": 20, "deleted": false})"
      "\n"
      R"({"ACTIVADA": false, "CLRNOTA": 16777215, "CLRTEXTO": null, "FECHA": null, "HORA": "", "STATUS": "X", "TEXTO": ")" +
      std::string(5000, 'n') +
      R"(", "X1": null, "X2": null, "Y1": null, "Y2": null, "deleted": false})"
      "\n"
      R"({"ACTIVADA": null, "CLRNOTA": null, "CLRTEXTO": null, "FECHA": null, "HORA": "", "STATUS": "", "TEXTO": "borrada", )"
      R"("X1": null, "X2": null, "Y1": null, "Y2": null, "deleted": true})"
      "\n";
  const std::string output =
      RunAndCapture("/usr/bin/python3 " MEMOTAB_INTEROP_DIR "/dbfread_view.py '" + path + "' 2>&1");
  // The reader speaks UTF-8; the literals above are Windows-1252 like all of the program's.
  EXPECT_EQ(output, Cp1252ToUtf8(expected));
}

}  // namespace
}  // namespace memotab
