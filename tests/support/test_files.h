#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace memotab::test {

// A fresh directory for one test, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The path of a file inside the directory, as the engine takes it.
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// The note table pair MEMOTAB.DBF + MEMOTAB.FPT, empty, in `directory`; returns the table's path.
std::string CreateNoteTable(const TempDir& directory);

// Makes the memo block of a record's TEXTO claim more bytes than the memo file holds, as a
// damaged file may: reading that text then fails. The table must not be open elsewhere.
void DamageNoteText(const std::string& tablePath, uint32_t recNo);

}  // namespace memotab::test
