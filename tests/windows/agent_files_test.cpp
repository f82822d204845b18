#include "agent_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "current_directory.h"
#include "disk.h"
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
  // The default folder is the Windows directory's; a test system installs no characters there.
  EXPECT_EQ(GETWINDOWSDIR().empty(), false);
  for (const std::string& character : GETAGENTSAVAILABLES()) {
    EXPECT_EQ(character.rfind(GETWINDOWSDIR() + "\\msagent\\chars\\", 0), 0u);
  }
}

TEST(AgentFiles, WithoutSystemCharactersOursOfThePersonajesFolderAreListed) {
  test::InTempDirectory here;
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
