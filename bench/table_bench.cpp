// Speed of the note table: a scan that reads every field of 100,000 notes, 100,000
// appends of filled notes, and a pack that drops half of 100,000 notes. The plain read of
// the same files is the ceiling a scan can reach.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "note_table.h"
#include "table.h"

namespace {

using namespace memotab;
namespace fs = std::filesystem;

constexpr int kNotes = 100000;

fs::path BenchDirectory(const char* name) {
  const fs::path directory = fs::temp_directory_path() / (std::string("memotab-bench-") + name);
  fs::remove_all(directory);
  fs::create_directories(directory);
  return directory;
}

void AddNote(Table& table, int i) {
  table.AppendBlank();
  table.SetNumber(Nota::X1, i % 66);
  table.SetNumber(Nota::Y1, i % 19);
  table.SetNumber(Nota::X2, i % 66 + 25);
  table.SetNumber(Nota::Y2, i % 19 + 15);
  table.SetNumber(Nota::CLRTEXTO, 0);
  table.SetNumber(Nota::CLRNOTA, 65535);
  table.SetText(Nota::TEXTO, "Nota número " + std::to_string(i) + ": comprar pan, leche y café.\r\nLlamar a José.");
  table.SetDate(Nota::FECHA, *Date::FromYmd(2026, 12, 1 + i % 28));
  table.SetText(Nota::HORA, "09:05");
  table.SetText(Nota::STATUS, ".");
  table.SetLogical(Nota::ACTIVADA, i % 2 == 0);
}

// A table of kNotes filled notes, made once per process.
const std::string& FilledTable() {
  static const std::string path = [] {
    const std::string tablePath = (BenchDirectory("filled") / kNoteTableName).string();
    CreateTable(tablePath, NoteTableFields(), kNoteTableVersion, kNoteTableCodePage);
    Table table = Table::Open(tablePath, FileAccess::kReadWriteAlone);
    for (int i = 0; i < kNotes; ++i) AddNote(table, i);
    return tablePath;
  }();
  return path;
}

void BM_ScanEveryField(benchmark::State& state) {
  const std::string& path = FilledTable();
  for (auto _ : state) {
    Table table = Table::Open(path, FileAccess::kReadOnly);
    size_t bytes = 0;
    for (table.GoTop(); !table.Eof(); table.Skip()) {
      bytes += static_cast<size_t>(table.GetNumber(Nota::X1) + table.GetNumber(Nota::Y1) + table.GetNumber(Nota::X2) +
                                   table.GetNumber(Nota::Y2) + table.GetNumber(Nota::CLRTEXTO) +
                                   table.GetNumber(Nota::CLRNOTA));
      bytes += table.GetText(Nota::TEXTO).size() + table.GetText(Nota::HORA).size() + table.GetText(Nota::STATUS).size();
      bytes += static_cast<size_t>(table.GetDate(Nota::FECHA).Day() + table.GetLogical(Nota::ACTIVADA));
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kNotes);
}
BENCHMARK(BM_ScanEveryField)->Unit(benchmark::kMillisecond);

// The ceiling: reading the table's and memo file's bytes as they are.
void BM_ReadFilesPlainly(benchmark::State& state) {
  const std::string& path = FilledTable();
  const std::string memoPath = (fs::path(path).parent_path() / "MEMOTAB.FPT").string();
  std::vector<char> buffer(1 << 16);
  for (auto _ : state) {
    size_t total = 0;
    for (const std::string& file : {path, memoPath}) {
      std::ifstream in(file, std::ios::binary);
      while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
        total += static_cast<size_t>(in.gcount());
      }
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kNotes);
}
BENCHMARK(BM_ReadFilesPlainly)->Unit(benchmark::kMillisecond);

void BM_AppendFilledNotes(benchmark::State& state) {
  const fs::path directory = BenchDirectory("append");
  const std::string path = (directory / kNoteTableName).string();
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(path);
    fs::remove(directory / "MEMOTAB.FPT");
    CreateTable(path, NoteTableFields(), kNoteTableVersion, kNoteTableCodePage);
    state.ResumeTiming();
    Table table = Table::Open(path, FileAccess::kReadWriteAlone);
    for (int i = 0; i < kNotes; ++i) AddNote(table, i);
  }
  state.SetItemsProcessed(state.iterations() * kNotes);
}
BENCHMARK(BM_AppendFilledNotes)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PackHalfDeleted(benchmark::State& state) {
  const std::string& source = FilledTable();
  const fs::path directory = BenchDirectory("pack");
  const std::string path = (directory / kNoteTableName).string();
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(source, path, fs::copy_options::overwrite_existing);
    fs::copy_file(fs::path(source).parent_path() / "MEMOTAB.FPT", directory / "MEMOTAB.FPT",
                  fs::copy_options::overwrite_existing);
    {
      Table table = Table::Open(path, FileAccess::kReadWriteAlone);
      for (table.GoTop(); !table.Eof(); table.Skip()) {
        if (table.RecNo() % 2 == 0) table.Delete();
      }
    }
    state.ResumeTiming();
    Table table = Table::Open(path, FileAccess::kReadWriteAlone);
    table.Pack();
    if (table.LastRec() != kNotes / 2) state.SkipWithError("pack kept the wrong number of notes");
  }
  state.SetItemsProcessed(state.iterations() * kNotes);
}
BENCHMARK(BM_PackHalfDeleted)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
