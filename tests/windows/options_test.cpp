// The options dialog and the settings it keeps, driven as a user would, and the
// assistant's place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "app_fixture.h"
#include "options.h"
#include "screen_shot.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

class OptionsTest : public test::AppFixture {
 protected:
  std::string SettingsText() const {
    std::ifstream in(here.File("Memotab.INI"));
    std::stringstream text;
    text << in.rdbuf();
    std::string lines;
    for (const char c : text.str()) {
      if (c != '\r') lines += c;
    }
    return lines;
  }
  // The pages, told apart by their controls: 0 notes, 1 colours, 2 assistant.
  static HWND Page(HWND dialog, int n) {
    struct Search {
      int wanted;
      HWND found = nullptr;
    } search{n};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) {
          auto* wanted = reinterpret_cast<Search*>(data);
          char name[16] = {};
          GetClassNameA(child, name, sizeof name);
          if (std::string(name) != "#32770") return TRUE;
          const int kind = GetDlgItem(child, 106) != nullptr ? 2 : GetDlgItem(child, 104) != nullptr ? 0 : 1;
          if (kind == wanted->wanted) wanted->found = child;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  static std::string Selected(HWND combo) {
    char text[64] = {};
    const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index >= 0) SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
  }
  static bool Ticked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  static void ClickTab(HWND dialog, int index) {
    const HWND tabs = GetDlgItem(dialog, 101);
    RECT item{};
    SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    test::ClickLikeUser(tabs, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
  }
};

TEST_F(OptionsTest, AFirstRunShowsTheDefaultsAndCancelWritesOnlyTheDefaultsRead) {
  struct Seen {
    std::string noteColour;
    std::string textColour;
    bool showNotes = false;
    bool useAgent = false;
    bool agentVisible = false;
    std::string x;
    std::string y;
    bool topMost = false;
    bool pageButtonsEnabled = true;
  };
  std::future<Seen> seen = test::WhenWindowAppears<Seen>("Opciones", [](HWND dialog) {
    Seen result;
    Sleep(200);
    test::SaveWindowPicture(dialog, test::ArtifactPath("options-page-notes.bmp"));
    const HWND notes = Page(dialog, 0);
    const HWND colours = Page(dialog, 1);
    const HWND agent = Page(dialog, 2);
    result.topMost = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    result.showNotes = Ticked(GetDlgItem(notes, 101));
    result.pageButtonsEnabled = IsWindowEnabled(GetDlgItem(notes, 104)) != FALSE;
    ClickTab(dialog, 1);
    test::WaitUntil([&] { return IsWindowVisible(colours) != FALSE; });
    Sleep(200);
    test::SaveWindowPicture(dialog, test::ArtifactPath("options-page-colours.bmp"));
    result.noteColour = Selected(GetDlgItem(colours, 101));
    result.textColour = Selected(GetDlgItem(colours, 102));
    ClickTab(dialog, 2);
    test::WaitUntil([&] { return IsWindowVisible(agent) != FALSE; });
    Sleep(200);
    test::SaveWindowPicture(dialog, test::ArtifactPath("options-page-agent.bmp"));
    result.useAgent = Ticked(GetDlgItem(agent, 102));
    result.agentVisible = Ticked(GetDlgItem(agent, 103));
    result.x = test::ControlText(GetDlgItem(agent, 106));
    result.y = test::ControlText(GetDlgItem(agent, 107));
    test::ClickLikeUser(GetDlgItem(dialog, 103));
    return result;
  });
  OPCIONES();
  const Seen result = seen.get();
  EXPECT_EQ(result.noteColour, "Amarillo");
  EXPECT_EQ(result.textColour, "Negro");
  EXPECT_TRUE(result.showNotes);
  EXPECT_TRUE(result.useAgent);
  EXPECT_TRUE(result.agentVisible);
  EXPECT_EQ(result.x, "0");
  EXPECT_EQ(result.y, "0");
  EXPECT_TRUE(result.topMost);
  EXPECT_FALSE(result.pageButtonsEnabled);  // the table is empty
  EXPECT_EQ(SettingsText(), "[AGENTE]\nID=1\nUSAR=.T.\nVISIBLE=.T.\nX=0\nY=0\n[COLORES]\nNOTA=15\nTEXTO=1\n[INICIO]\nVER=SI\n");
}

TEST_F(OptionsTest, AcceptWritesTheNineSettingsAndTellsThatTheyNeedARestart) {
  AddNote("Una", Date{}, "     ", " ");
  WriteSetting("AGENTE", "ID", "7");  // not in the list: the first character is taken
  std::future<bool> done = test::WhenWindowAppears<bool>("Opciones", [](HWND dialog) {
    const HWND notes = Page(dialog, 0);
    const bool enabled = IsWindowEnabled(GetDlgItem(notes, 104)) != FALSE;
    test::ClickLikeUser(GetDlgItem(notes, 101));  // notes no longer open at start-up
    const HWND colours = GetDlgItem(Page(dialog, 1), 101);
    SendMessageA(colours, CB_SETCURSEL, 2, 0);
    SendMessageA(Page(dialog, 1), WM_COMMAND, MAKEWPARAM(101, CBN_SELCHANGE), reinterpret_cast<LPARAM>(colours));
    test::ClickLikeUser(GetDlgItem(dialog, 102));
    return enabled;
  });
  Sent();
  OPCIONES();
  EXPECT_TRUE(done.get());
  TIni ini(SettingsFile());
  ini.lAutoSet = false;
  EXPECT_EQ(ini.Get("COLORES", "NOTA", 0), 3);
  EXPECT_EQ(ini.Get("COLORES", "TEXTO", 0), 1);
  EXPECT_EQ(ini.Get("INICIO", "VER", ""), "NO");
  EXPECT_NE(SettingsText().find("\nARCHIVO=\n"), std::string::npos);  // no character installed
  EXPECT_EQ(ini.Get("AGENTE", "USAR", false), true);
  EXPECT_EQ(ini.Get("AGENTE", "ID", 0), 1);
  EXPECT_EQ(ini.Get("AGENTE", "VISIBLE", false), true);
  EXPECT_EQ(ini.Get("AGENTE", "X", 9), 0);
  EXPECT_EQ(ini.Get("AGENTE", "Y", 9), 0);
  const std::string calls = Sent();
  EXPECT_NE(calls.find("Speak(BSTR:Los cambios tendrán efecto cuando reinicie Memotab v1.6)"), std::string::npos);
  EXPECT_LT(calls.find("Play("), calls.find("Speak("));
}

// With our characters in the "Personajes" folder the list offers them by name, in the
// folder's order; the one chosen is written with its file, and the list opens on it again.
TEST_F(OptionsTest, TheCharacterListOffersTheCharactersOfTheFolderAndKeepsTheOneChosen) {
  std::filesystem::create_directory(here.File("Personajes"));
  for (const char* name : {"Reloj.mtpj", "Nota.mtpj"}) {
    std::filesystem::copy_file(std::filesystem::path(MEMOTAB_CHARACTERS_DIR) / name, here.File("Personajes\\") + name);
  }
  const auto agentList = [](HWND dialog) { return GetDlgItem(Page(dialog, 2), 101); };
  std::future<std::vector<std::string>> offered = test::WhenWindowAppears<std::vector<std::string>>(
      "Opciones", [&](HWND dialog) {
        const HWND list = agentList(dialog);
        std::vector<std::string> names;
        for (LRESULT i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
          char name[64] = {};
          SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
          names.push_back(name);
        }
        names.push_back(Selected(list));
        SendMessageA(list, CB_SETCURSEL, 1, 0);
        SendMessageA(Page(dialog, 2), WM_COMMAND, MAKEWPARAM(101, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        test::ClickLikeUser(GetDlgItem(dialog, 102));
        return names;
      });
  OPCIONES();
  EXPECT_EQ(offered.get(), (std::vector<std::string>{"Nota", "Reloj", "Nota"}));  // the items, then the one selected
  TIni ini(SettingsFile());
  ini.lAutoSet = false;
  EXPECT_EQ(ini.Get("AGENTE", "ARCHIVO", ""), here.File("Personajes\\Reloj.mtpj"));
  EXPECT_EQ(ini.Get("AGENTE", "ID", 0), 2);

  std::future<std::string> reopened = test::WhenWindowAppears<std::string>("Opciones", [&](HWND dialog) {
    const std::string selected = Selected(agentList(dialog));
    test::ClickLikeUser(GetDlgItem(dialog, 103));
    return selected;
  });
  OPCIONES();
  EXPECT_EQ(reopened.get(), "Reloj");
}

TEST_F(OptionsTest, AcceptWritesTheNineKeysInTheirOrder) {
  std::filesystem::remove(here.File("Memotab.INI"));  // each key then lands where it is first written
  GRABAOPC({.lShowNotes = false,
            .nNoteColour = 3,
            .nTextColour = 2,
            .nAgent = 1,
            .lUseAgent = true,
            .aAgentFiles = {"C:\\Personajes\\Nota.mtpj"},
            .lAgentVisible = false,
            .nX = 10,
            .nY = 20});
  std::vector<std::string> written;
  std::istringstream lines(SettingsText());
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) written.push_back(line.substr(0, line.find('=')));
  }
  EXPECT_EQ(written, (std::vector<std::string>{"[COLORES]", "NOTA", "TEXTO", "[INICIO]", "VER", "[AGENTE]", "ARCHIVO",
                                               "USAR", "ID", "VISIBLE", "X", "Y"}));
}

TEST_F(OptionsTest, ColoursOutsideThePaletteOpenAsTheDefaultsAndDeletedNotesCountForNothing) {
  const uint32_t deleted = AddNote("Borrada", Date{}, "     ", " ");
  oNota->Delete();
  WriteSetting("COLORES", "NOTA", "0");
  WriteSetting("COLORES", "TEXTO", "17");
  struct Seen {
    std::string noteColour;
    std::string textColour;
    bool pageButtonsEnabled = true;
  };
  std::future<Seen> seen = test::WhenWindowAppears<Seen>("Opciones", [](HWND dialog) {
    const HWND colours = Page(dialog, 1);
    const Seen result{.noteColour = Selected(GetDlgItem(colours, 101)),
                      .textColour = Selected(GetDlgItem(colours, 102)),
                      .pageButtonsEnabled = IsWindowEnabled(GetDlgItem(Page(dialog, 0), 104)) != FALSE};
    test::ClickLikeUser(GetDlgItem(dialog, 102));
    return result;
  });
  oNota->GoTo(deleted);
  OPCIONES();
  const Seen result = seen.get();
  EXPECT_EQ(result.noteColour, "Amarillo");
  EXPECT_EQ(result.textColour, "Negro");
  EXPECT_FALSE(result.pageButtonsEnabled);  // only a deleted note is left
  EXPECT_EQ(oNota->RecNo(), deleted);
  TIni ini(SettingsFile());
  ini.lAutoSet = false;
  EXPECT_EQ(ini.Get("COLORES", "NOTA", 0), 15);
  EXPECT_EQ(ini.Get("COLORES", "TEXTO", 0), 1);
}

TEST_F(OptionsTest, TheChosenCharactersFileIsStoredAndAPositionOutsideTheListStoresNone) {
  const std::vector<std::string> files = {"C:\\chars\\Uno.acs", "C:\\chars\\Dos.acs"};
  GRABAOPC({.nAgent = 2, .aAgentFiles = files, .nX = 640, .nY = 480});
  TIni ini(SettingsFile());
  ini.lAutoSet = false;
  EXPECT_EQ(ini.Get("AGENTE", "ARCHIVO", ""), "C:\\chars\\Dos.acs");
  EXPECT_EQ(ini.Get("AGENTE", "X", 0), 640);
  for (const int position : {0, -2, 3}) {
    GRABAOPC({.nAgent = position, .aAgentFiles = files});
    EXPECT_NE(SettingsText().find("\nARCHIVO=\n"), std::string::npos) << position;
  }
}

TEST_F(OptionsTest, TheAssistantGoesToItsPlaceOnlyWhenItIsToBeSeenOrAnnounces) {
  WriteSetting("AGENTE", "X", "40");
  WriteSetting("AGENTE", "Y", "60");
  oAgent->Hide();
  lAgentVisible = false;
  Sent();
  CHECAAGENTE();
  EXPECT_EQ(Sent(), "");
  CHECAAGENTE(false);
  EXPECT_EQ(Sent(), "Visible() Show() Top MoveTo(I4:40,I4:60,I4:1000)");
  WriteSetting("AGENTE", "X", "300");
  WriteSetting("AGENTE", "Y", "200");
  lAgentVisible = true;
  CHECAAGENTE();
  EXPECT_EQ(Sent(), "Visible() Top Left");  // already there
}

}  // namespace
}  // namespace memotab
