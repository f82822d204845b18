#include "t_ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "current_directory.h"

namespace memotab {
namespace {

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class IniTest : public ::testing::Test {
 protected:
  test::InTempDirectory here;
  std::string path = here.File("Memotab.INI");
};

TEST_F(IniTest, MissingFileGivesDefaultsAndWritesThemInReadingOrder) {
  TIni ini(path);
  EXPECT_TRUE(ini.Get("AGENTE", "VISIBLE", true));
  EXPECT_TRUE(ini.Get("AGENTE", "USAR", true));
  EXPECT_EQ(ini.Get("AGENTE", "ARCHIVO", ""), "");
  EXPECT_EQ(ini.Get("COLORES", "NOTA", 15), 15);
  EXPECT_EQ(FileText(path), "[AGENTE]\r\nVISIBLE=.T.\r\nUSAR=.T.\r\nARCHIVO=\r\n[COLORES]\r\nNOTA=15\r\n");
}

TEST_F(IniTest, LogicalsAreTrueOnlyForDotTDot) {
  WriteText(path, "[A]\r\nX=.t.\r\nY=SI\r\nZ=TRUE\r\nW=\r\n");
  TIni ini(path);
  EXPECT_TRUE(ini.Get("A", "X", false));
  EXPECT_FALSE(ini.Get("A", "Y", true));
  EXPECT_FALSE(ini.Get("A", "Z", true));
  EXPECT_TRUE(ini.Get("A", "W", true));  // an empty value gives the default
}

TEST_F(IniTest, NumbersReadTheLeadingDigits) {
  WriteText(path, "[COLORES]\r\nNOTA=12abc\r\nTEXTO=abc\r\n");
  TIni ini(path);
  EXPECT_EQ(ini.Get("COLORES", "NOTA", 15), 12);
  EXPECT_EQ(ini.Get("COLORES", "TEXTO", 1), 0);
  EXPECT_EQ(FileText(path), "[COLORES]\r\nNOTA=12abc\r\nTEXTO=abc\r\n");  // no value equalled its default
}

TEST_F(IniTest, ValuesReadBackAsWritten) {
  TIni ini(path);
  ini.Set("AGENTE", "ARCHIVO", "C:\\Mis cosas\\a = b.acs");
  ini.Set("AGENTE", "X", 1024);
  ini.Set("AGENTE", "USAR", false);
  ini.Set("FECHAS", "DIA", *Date::FromYmd(2026, 12, 24));
  EXPECT_EQ(ini.Get("AGENTE", "ARCHIVO", ""), "C:\\Mis cosas\\a = b.acs");
  EXPECT_EQ(ini.Get("AGENTE", "X", 0), 1024);
  EXPECT_FALSE(ini.Get("AGENTE", "USAR", true));
  EXPECT_EQ(ini.Get("FECHAS", "DIA", Date()), *Date::FromYmd(2026, 12, 24));
  EXPECT_NE(FileText(path).find("DIA=24/12/2026"), std::string::npos);
  // An existing key keeps its place.
  ini.Set("AGENTE", "ARCHIVO", "otro");
  EXPECT_EQ(FileText(path).find("[AGENTE]\r\nARCHIVO=otro\r\nX=1024\r\n"), 0u);
}

TEST_F(IniTest, SectionsAndKeysIgnoreLetterCase) {
  WriteText(path, "[agente]\r\nusar=.T.\r\n");
  EXPECT_TRUE(TIni(path).Get("AGENTE", "USAR", false));
}

TEST_F(IniTest, LongTextsAreCutTo1023Characters) {
  const std::string longText(2000, 'x');
  TIni ini(path);
  ini.lAutoSet = false;
  ini.Set("A", "LARGO", longText);
  EXPECT_EQ(ini.Get("A", "LARGO", "").size(), 1023u);
}

TEST_F(IniTest, RelativeNamesStayInTheCurrentDirectory) {
  TIni ini("Memotab");  // no extension: ".ini" is added
  ini.Set("INICIO", "VER", "SI");
  EXPECT_TRUE(std::filesystem::exists(here.File("Memotab.ini")));
  EXPECT_EQ(ini.cIniFile, here.File("Memotab.ini"));
}

}  // namespace
}  // namespace memotab
