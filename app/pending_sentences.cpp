#include "pending_sentences.h"

#include <array>

#include "note_table.h"
#include "text.h"

namespace memotab {

namespace {

constexpr std::array<const char*, 12> kMonths = {"Enero",  "Febrero", "Marzo",      "Abril",
                                                 "Mayo",   "Junio",   "Julio",      "Agosto",
                                                 "Septiembre", "Obtubre", "Noviembre", "Diciembre"};

bool IsPending(const Table& nota) {
  return !nota.GetDate(Nota::FECHA).IsEmpty() && !Trim(nota.GetText(Nota::HORA)).empty() &&
         nota.GetText(Nota::STATUS) != "X";
}

std::string Heading(size_t count) {
  const bool several = count > 1;
  return std::string("Tienes ") + std::to_string(count) + " nota" + (several ? "s" : "") + " pendiente" +
         (several ? "s" : "") + " y a continuación te voy a decir cual" + (several ? "es son." : " es.");
}

std::string WhenPhrase(Date dFecha, Date dToday) {
  if (dFecha < dToday) return "se debió mostrar el día " + DETALLAFECHA(dFecha);
  if (dFecha > dToday) return "se mostrará el día " + DETALLAFECHA(dFecha);
  return "se mostrará el día de hoy ";
}

}  // namespace

std::string DETALLAFECHA(Date dFecha) {
  const std::string text = dFecha.ToText();
  const int month = static_cast<int>(Val(text.substr(3, 2)));
  const std::string name = month >= 1 && month <= 12 ? kMonths[static_cast<size_t>(month - 1)] : "";
  return text.substr(0, 2) + " de " + name + " del " + text.substr(6, 4);
}

std::vector<std::string> PendingSentences(Table& nota, Date dToday, const NoteReading& reading) {
  std::vector<std::string> notes;
  for (nota.GoTop(); !nota.Eof(); nota.Skip()) {
    std::string sentence;
    const auto read = [&] {
      if (!IsPending(nota)) return;
      sentence = "Esta nota " + WhenPhrase(nota.GetDate(Nota::FECHA), dToday) + " a las " + nota.GetText(Nota::HORA) +
                 ".   " + std::string(Trim(nota.GetText(Nota::TEXTO)));
    };
    if (reading(read) && !sentence.empty()) notes.push_back(sentence);
  }
  if (notes.empty()) return {"No hay notas pendientes."};
  std::vector<std::string> sentences = {Heading(notes.size())};
  sentences.insert(sentences.end(), notes.begin(), notes.end());
  sentences.push_back("Eso es todo. Por ahora no hay mas pendientes.");
  return sentences;
}

}  // namespace memotab
