#include "test_files.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>

#include "memo_file.h"
#include "note_table.h"
#include "table.h"

namespace memotab::test {

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  // A folder made by another test program running beside this one is never shared.
  do {
    path_ = std::filesystem::temp_directory_path() /
            ("memotab-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  } while (!std::filesystem::create_directory(path_));
}

TempDir::~TempDir() {
  std::error_code ignored;  // a test that failed may have left a file open; never throw here
  std::filesystem::remove_all(path_, ignored);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string CreateNoteTable(const TempDir& directory) {
  const std::string path = directory.File(kNoteTableName);
  CreateTable(path, NoteTableFields(), kNoteTableVersion, kNoteTableCodePage);
  return path;
}

void DamageNoteText(const std::string& tablePath, uint32_t recNo) {
  uint32_t block = 0;
  {
    Table table = Table::Open(tablePath, FileAccess::kReadWriteAlone);
    table.GoTo(recNo);
    block = table.MemoBlock(Nota::TEXTO);
  }
  const std::string memoPath = tablePath.substr(0, tablePath.size() - 3) + "FPT";
  std::vector<uint8_t> memo = ReadBytes(memoPath);
  const size_t lengthAt = size_t{block} * MemoFile::kNewBlockSize + 4;
  for (size_t byte = 0; byte < 4; ++byte) memo.at(lengthAt + byte) = 0x7F;
  WriteBytes(memoPath, memo);
}

}  // namespace memotab::test
