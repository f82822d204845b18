// The pending-notes report as the assistant says it.
#include <gtest/gtest.h>

#include <future>

#include "app_fixture.h"
#include "error_answers.h"
#include "pending_report.h"
#include "test_files.h"
#include "ui_driver.h"

namespace memotab {
namespace {

using PendingReportTest = test::AppFixture;

TEST_F(PendingReportTest, TheAssistantComesIntoViewAndSaysEverySentence) {
  AddNote("Dentista", *Date::FromYmd(2026, 10, 2), "10:30", ".");
  AddNote("Ya dicha", today, "08:00", "X");
  const uint32_t current = AddNote("Comprar pan", today, "09:05", ".");
  oAgent->Hide();
  oAgent->lWait = false;
  oNota->GoTo(current);
  Sent();
  NOTASPENDIENTES();
  EXPECT_EQ(Sent(),
            "Visible() Visible() Show() Visible() "
            "Speak(BSTR:Tienes 2 notas pendientes y a continuación te voy a decir cuales son.) Visible() Visible() "
            "Speak(BSTR:Esta nota se debió mostrar el día 02 de Obtubre del 2026 a las 10:30.   Dentista) "
            "Visible() Visible() Speak(BSTR:Esta nota se mostrará el día de hoy  a las 09:05.   Comprar pan) "
            "Visible() Visible() Speak(BSTR:Eso es todo. Por ahora no hay mas pendientes.)");
  EXPECT_TRUE(oAgent->lWait);
  EXPECT_EQ(oNota->RecNo(), current);
}

TEST_F(PendingReportTest, ANoteThatCannotBeReadIsReportedAndLeftOutAndTheRecordComesBack) {
  AddNote("Dentista", today, "10:30", ".");
  AddNote("ilegible", today, "11:00", ".");
  oNota->Close();  // its text is damaged on disk, as a crash could leave it
  const std::string table = here.File("MEMOTAB.DBF");
  test::DamageNoteText(table, 2);
  oNota.emplace(Table::Open(table, FileAccess::kReadWriteAlone));
  oNota->SetDeletedHidden(true);
  oNota->GoTo(1);
  oAgent->lWait = false;
  const test::AnswerErrors answered;
  Sent();
  NOTASPENDIENTES();
  const std::string said = Sent();
  EXPECT_NE(said.find("Tienes 1 nota pendiente"), std::string::npos) << said;
  EXPECT_NE(said.find("Dentista"), std::string::npos) << said;
  EXPECT_EQ(answered.skipOffered, std::vector<bool>{true});
  EXPECT_EQ(oNota->RecNo(), 1u);
}

TEST_F(PendingReportTest, WhenTheAssistantIsNotUsedAHiddenOneStaysHiddenAndBoxesSpeak) {
  WriteSetting("AGENTE", "USAR", ".F.");
  oAgent->Hide();
  Sent();
  std::future<std::string> box = test::WhenWindowAppears<std::string>("Nota", [](HWND window) {
    if (window == nullptr) return std::string();
    const std::string text = test::WindowText(GetDlgItem(window, 0xFFFF));
    test::ClickButton(window, IDOK);
    return text;
  });
  NOTASPENDIENTES();
  EXPECT_EQ(box.get(), "No hay notas pendientes.");
  EXPECT_EQ(Count(Sent(), "Show("), 0);
}

}  // namespace
}  // namespace memotab
