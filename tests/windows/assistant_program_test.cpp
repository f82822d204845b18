// The character in memotab.exe itself, seen from outside as a person sees it: the options
// offer the characters of the "Personajes" folder and the one chosen is the one that comes
// at the next start; left alone, the character moves now and then and comes back to rest.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "character_file.h"
#include "figure_pictures.h"
#include "memotab_program.h"
#include "program_character.h"
#include "program_menus.h"
#include "screen_shot.h"
#include "t_ini.h"
#include "test_files.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab {
namespace {

using test::CentreOf;

class AssistantProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    test::CreateNoteTable(dir);
    std::filesystem::create_directory(dir.Path() / "Personajes");
    for (const char* name : {"Nota.mtpj", "Reloj.mtpj"}) {
      std::filesystem::copy_file(std::filesystem::path(MEMOTAB_CHARACTERS_DIR) / name, dir.Path() / "Personajes" / name);
    }
  }

  // The character's figure once the program has started and shown it; nothing otherwise.
  HWND FigureOf(const test::Program& program) {
    if (program.MainWindow() == nullptr) return nullptr;
    HWND figure = nullptr;
    test::WaitUntil([&] { return (figure = test::ShownFigure(program.Id())) != nullptr; }, std::chrono::seconds(15));
    return figure;
  }

  void Close(const test::Program& program) {
    PostMessageA(program.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(program.WaitForExit(15000), 0u);
  }

  std::string Settings() const { return dir.File("Memotab.INI"); }

  test::TempDir dir;
};

// What the display shows of an area when it stays the same for a second; nothing while it
// moves. (The figure belongs to another process: only the display itself shows it.)
std::optional<test::ScreenShot> StillPicture(const RECT& area) {
  const auto before = test::ScreenShot::OfDisplay(area);
  Sleep(1000);
  const auto after = test::ScreenShot::OfDisplay(area);
  return before && after && before->SamePixels(*after) ? before : std::nullopt;
}

// Waits until the figure stands still where its window is (the start-up moves it to its
// place) and tells which of our characters it is at rest.
std::string CharacterAtRest(HWND figure, const std::string& picture) {
  std::optional<test::ScreenShot> shot;
  RECT area{};
  test::WaitUntil([&] {
    area = test::WindowArea(figure);
    shot = StillPicture(area);
    const RECT after = test::WindowArea(figure);
    if (!EqualRect(&area, &after)) shot.reset();
    return shot.has_value();
  }, std::chrono::seconds(15));
  if (!shot) return "(moving)";
  shot->Save(test::ArtifactPath(picture));
  for (const char* name : {"Nota", "Reloj"}) {
    const character::CharacterFile character =
        character::LoadCharacterFile((std::filesystem::path(MEMOTAB_CHARACTERS_DIR) / name).string() + ".mtpj");
    if (test::OpaqueDifferences(*shot, {area.left, area.top}, test::RestFrame(character)) == 0) return name;
  }
  return "(another)";
}

// The options' character list: the combo box of the "Agente" page (the colours page has
// owner-drawn ones with the same id).
HWND CharacterList(HWND options) {
  HWND found = nullptr;
  EnumChildWindows(
      options,
      [](HWND child, LPARAM result) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::string(name) == "ComboBox" && GetDlgCtrlID(child) == 101 &&
            (GetWindowLongA(child, GWL_STYLE) & CBS_OWNERDRAWFIXED) == 0) {
          *reinterpret_cast<HWND*>(result) = child;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool Differs(const std::optional<test::ScreenShot>& shot, const test::ScreenShot& from) {
  return shot && !shot->SamePixels(from);
}

// An item of a list of another process (asked in UTF-16: the system copies only that whole).
std::string ListItem(HWND list, int position) {
  wchar_t text[64] = {};
  const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, position, 0);
  if (length < 0 || length >= 64) return {};
  SendMessageW(list, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(text));
  return std::filesystem::path(text).string();
}

TEST_F(AssistantProgram, TheCharacterChosenInTheOptionsIsTheOneThatComesAtTheNextStart) {
  {
    test::Program program(dir.Path().string());
    const HWND figure = FigureOf(program);
    ASSERT_NE(figure, nullptr);
    EXPECT_EQ(CharacterAtRest(figure, "first-character.bmp"), "Nota");  // the first of the folder
    ASSERT_TRUE(test::WaitUntil([] { return test::TrayIcon() != nullptr; }));
    ASSERT_TRUE(test::ChooseTrayItem(program.Id(), 5));  // Configurar

    HWND options = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] { return (options = test::FindVisibleWindow("Opciones", program.Id())) != nullptr; }));
    const HWND list = CharacterList(options);
    ASSERT_NE(list, nullptr);
    // The "Agente" tab is the third one.
    RECT tabs{};
    GetWindowRect(GetDlgItem(options, 101), &tabs);
    for (int x = tabs.left + 100; x < tabs.left + 260 && !IsWindowVisible(list); x += 15) {
      test::ClickMouse(x, tabs.top + 10);
      test::WaitUntil([&] { return IsWindowVisible(list) != FALSE; }, std::chrono::milliseconds(700));
    }
    ASSERT_TRUE(IsWindowVisible(list));
    ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ListItem(list, 0), "Nota");
    EXPECT_EQ(ListItem(list, 1), "Reloj");
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
    test::SaveWindowPicture(options, test::ArtifactPath("options-characters.bmp"));

    const POINT onList = CentreOf(list);
    test::ClickMouse(onList.x, onList.y);  // drops the list down
    test::WaitUntil([&] { return SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0) != 0; });
    test::Xdotool("key Down Return");
    ASSERT_TRUE(test::WaitUntil([&] { return SendMessageA(list, CB_GETCURSEL, 0, 0) == 1; }));
    const POINT onAccept = CentreOf(GetDlgItem(options, 102));
    test::ClickMouse(onAccept.x, onAccept.y);
    HWND told = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] { return (told = test::ShownSpeechBalloon(program.Id())) != nullptr; }));
    EXPECT_EQ(test::SaidText(told), "Los cambios tendrán efecto cuando reinicie Memotab v1.6");
    test::DismissSpeechBalloon(told);
    Close(program);
  }
  TIni ini(Settings());
  ini.lAutoSet = false;
  EXPECT_EQ(ini.Get("AGENTE", "ID", 0), 2);
  EXPECT_TRUE(ini.Get("AGENTE", "ARCHIVO", "").ends_with("\\Personajes\\Reloj.mtpj")) << ini.Get("AGENTE", "ARCHIVO", "");

  test::Program again(dir.Path().string());
  const HWND figure = FigureOf(again);
  ASSERT_NE(figure, nullptr);
  EXPECT_EQ(CharacterAtRest(figure, "chosen-character.bmp"), "Reloj");
  Close(again);
}

// The figure's pixels on the screen while the program is left alone: it stays still at rest,
// plays an idle animation within about a minute, and ends at rest again.
TEST_F(AssistantProgram, LeftAloneTheCharacterMovesNowAndThenAndComesBackToRest) {
  test::Program program(dir.Path().string());
  const HWND figure = FigureOf(program);
  ASSERT_NE(figure, nullptr);
  // At rest where the start-up put it.
  RECT area{};
  std::optional<test::ScreenShot> rest;
  ASSERT_TRUE(test::WaitUntil([&] {
    area = test::WindowArea(figure);
    rest = StillPicture(area);
    const RECT after = test::WindowArea(figure);
    return rest && EqualRect(&area, &after);
  }, std::chrono::seconds(15)));
  rest->Save(test::ArtifactPath("idle-rest.bmp"));
  ASSERT_GT(rest->CountColours(), 10);  // the figure is there

  std::optional<test::ScreenShot> moving;
  ASSERT_TRUE(test::WaitUntil([&] { return Differs(moving = test::ScreenShot::OfDisplay(area), *rest); },
                              std::chrono::seconds(75)))
      << "no idle animation";
  moving->Save(test::ArtifactPath("idle-moving.bmp"));
  EXPECT_TRUE(test::WaitUntil([&] {
    const auto now = test::ScreenShot::OfDisplay(area);
    return now && now->SamePixels(*rest);
  }, std::chrono::seconds(20))) << "not back at rest";
  Close(program);
}

}  // namespace
}  // namespace memotab
