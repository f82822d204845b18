// The sentences of the pending-notes report and the spoken form of a date.
#include <gtest/gtest.h>

#include "note_table.h"
#include "pending_sentences.h"
#include "test_files.h"

namespace memotab {
namespace {

const Date kToday = *Date::FromYmd(2026, 12, 8);

class PendingSentencesTest : public ::testing::Test {
 protected:
  PendingSentencesTest() : nota(Open(dir)) {}

  static Table Open(const test::TempDir& directory) {
    return Table::Open(test::CreateNoteTable(directory), FileAccess::kReadWriteAlone);
  }
  void AddNote(const std::string& text, Date date, const std::string& time, const std::string& status) {
    nota.AppendBlank();
    nota.SetText(Nota::TEXTO, text);
    nota.SetDate(Nota::FECHA, date);
    nota.SetText(Nota::HORA, time);
    nota.SetText(Nota::STATUS, status);
  }

  test::TempDir dir;
  Table nota;
};

TEST(DetallaFecha, DayWithItsZeroMonthByNameFourDigitYear) {
  EXPECT_EQ(DETALLAFECHA(*Date::FromYmd(2005, 7, 5)), "05 de Julio del 2005");
  EXPECT_EQ(DETALLAFECHA(*Date::FromYmd(2006, 3, 14)), "14 de Marzo del 2006");
  EXPECT_EQ(DETALLAFECHA(*Date::FromYmd(2026, 10, 31)), "31 de Obtubre del 2026");
  EXPECT_EQ(DETALLAFECHA(*Date::FromYmd(2027, 1, 1)), "01 de Enero del 2027");
  EXPECT_EQ(DETALLAFECHA(*Date::FromYmd(2027, 12, 9)), "09 de Diciembre del 2027");
}

TEST_F(PendingSentencesTest, NothingPendingIsOneSentence) {
  AddNote("Ya dicha", kToday, "09:05", "X");
  AddNote("Sin fecha", Date{}, "09:05", ".");
  AddNote("Sin hora", kToday, "     ", ".");
  EXPECT_EQ(PendingSentences(nota, kToday), std::vector<std::string>{"No hay notas pendientes."});
}

TEST_F(PendingSentencesTest, OnePendingNoteIsIntroducedInTheSingular) {
  AddNote("  Comprar pan  ", *Date::FromYmd(2005, 7, 5), "13:00", ".");
  EXPECT_EQ(PendingSentences(nota, *Date::FromYmd(2005, 7, 4)),
            (std::vector<std::string>{
                "Tienes 1 nota pendiente y a continuación te voy a decir cual es.",
                "Esta nota se mostrará el día 05 de Julio del 2005 a las 13:00.   Comprar pan",
                "Eso es todo. Por ahora no hay mas pendientes.",
            }));
  EXPECT_EQ(PendingSentences(nota, *Date::FromYmd(2005, 7, 5))[1],
            "Esta nota se mostrará el día de hoy  a las 13:00.   Comprar pan");
}

TEST_F(PendingSentencesTest, SeveralPendingNotesInRecordOrderPastTodayFutureAndABlankTime) {
  AddNote("Dentista", *Date::FromYmd(2026, 10, 2), "10:30", ".");
  AddNote("Anunciada", kToday, "08:00", "X");
  AddNote("Llamar a José", kToday, "07:00", ".");  // its time has gone by: still "de hoy"
  AddNote("Sin hora", *Date::FromYmd(2027, 2, 1), "  :  ", " ");
  EXPECT_EQ(PendingSentences(nota, kToday),
            (std::vector<std::string>{
                "Tienes 3 notas pendientes y a continuación te voy a decir cuales son.",
                "Esta nota se debió mostrar el día 02 de Obtubre del 2026 a las 10:30.   Dentista",
                "Esta nota se mostrará el día de hoy  a las 07:00.   Llamar a José",
                "Esta nota se mostrará el día 01 de Febrero del 2027 a las   :  .   Sin hora",
                "Eso es todo. Por ahora no hay mas pendientes.",
            }));
}

}  // namespace
}  // namespace memotab
