#include "agent_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "current_directory.h"
#include "disk.h"
#include "system_characters.h"
#include "test_files.h"

namespace memotab {
namespace {

TEST(AgentFiles, ListsTheCharacterFilesOfAFolderWithFullPaths) {
  test::TempDir dir;
  for (const char* name : {"B.acs", "A.acs", "notas.txt"}) std::ofstream(dir.File(name)) << "x";
  std::filesystem::create_directory(dir.File("C.acs"));  // a folder is not a character
  const std::string folder = dir.Path().string();
  std::vector<std::string> found = GETAGENTSAVAILABLES(folder);
  const std::vector<std::string> listed = DIRECTORY(folder + "\\*.acs");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], folder + "\\" + listed[0]);  // in the file system's order
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{folder + "\\A.acs", folder + "\\B.acs"}));
}

TEST(AgentFiles, MissingFolderHasNoCharacters) {
  EXPECT_TRUE(GETAGENTSAVAILABLES(std::string("C:\\no\\such\\folder")).empty());
}

// The tests' character file in the system's character folder for the life of the object;
// the folders made for it go with it.
class SystemCharacter {
 public:
  SystemCharacter() : folder_(test::SystemCharactersFolder()) {
    for (std::filesystem::path made = folder_; !std::filesystem::exists(made); made = made.parent_path()) {
      madeFolders_.push_back(made);
    }
    std::filesystem::create_directories(folder_);
    file_ = folder_ + "\\" + test::kTestsCharacter;
    std::ofstream(file_) << "x";
  }
  ~SystemCharacter() {
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
    for (const std::filesystem::path& made : madeFolders_) std::filesystem::remove(made, ignored);  // innermost first
  }
  SystemCharacter(const SystemCharacter&) = delete;
  SystemCharacter& operator=(const SystemCharacter&) = delete;

  const std::string& File() const { return file_; }

 private:
  std::string folder_;
  std::string file_;
  std::vector<std::filesystem::path> madeFolders_;
};

void ExpectTheSystemsCharactersBeforeOurs() {
  test::InTempDirectory here;
  std::filesystem::create_directory(here.File("Personajes"));
  std::ofstream(here.File("Personajes\\Nota.mtpj")) << "x";
  test::RemoveLeftOverCharacter();
  EXPECT_EQ(GETAGENTSAVAILABLES(), (std::vector<std::string>{CharactersFolder() + "\\Nota.mtpj"}));  // the system has none
  const SystemCharacter installed;
  EXPECT_EQ(GETAGENTSAVAILABLES(), (std::vector<std::string>{installed.File()}));
}

// These run alone: every other test and program started meanwhile would see the system's character.
TEST(AgentFilesOfTheSystem, TheSystemsCharactersComeBeforeOursOfThePersonajesFolder) {
  ExpectTheSystemsCharactersBeforeOurs();
  EXPECT_FALSE(std::filesystem::exists(test::SystemCharactersFolder() + "\\" + test::kTestsCharacter));
}

TEST(AgentFilesOfTheSystem, AFileLeftByAKilledRunChangesNothing) {
  const SystemCharacter leftOver;  // as a run killed before its end leaves it
  ExpectTheSystemsCharactersBeforeOurs();
  EXPECT_FALSE(std::filesystem::exists(leftOver.File()));
}

TEST(AgentFiles, WithoutSystemCharactersOursOfThePersonajesFolderAreListed) {
  test::InTempDirectory here;
  test::RemoveLeftOverCharacter();
  EXPECT_TRUE(GETAGENTSAVAILABLES().empty());  // a test system installs no characters
  std::filesystem::create_directory(here.File("Personajes"));
  for (const char* name : {"Reloj.mtpj", "Nota.mtpj", "Viejo.acs"}) std::ofstream(here.File("Personajes\\") + name) << "x";
  std::vector<std::string> found = GETAGENTSAVAILABLES();
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{CharactersFolder() + "\\Nota.mtpj", CharactersFolder() + "\\Reloj.mtpj"}));
  EXPECT_EQ(CharactersFolder(), here.File("Personajes"));
  EXPECT_TRUE(GETAGENTSAVAILABLES(here.File("Personajes")).size() == 1);  // a folder given: its .acs files only
}

}  // namespace
}  // namespace memotab
