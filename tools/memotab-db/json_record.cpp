#include "json_record.h"

#include <cstdio>

#include "text.h"

namespace memotab {

namespace {

std::string JsonNumber(double value, int decimals) {
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string FieldAsJson(const Table& table, const FieldDescriptor& field) {
  switch (field.type) {
    case FieldType::kCharacter:
    case FieldType::kMemo:
      return JsonString(Cp1252ToUtf8(TrimRight(table.GetText(field.cName))));
    case FieldType::kNumeric:
      return JsonNumber(table.GetNumber(field.cName), field.nDecimals);
    case FieldType::kDate: {
      const Date date = table.GetDate(field.cName);
      if (date.IsEmpty()) return "null";
      char text[16];
      std::snprintf(text, sizeof text, "\"%04d-%02d-%02d\"", date.Year(), date.Month(), date.Day());
      return text;
    }
    case FieldType::kLogical:
      return table.GetLogical(field.cName) ? "true" : "false";
  }
  return "null";
}

}  // namespace

std::string RecordAsJson(const Table& table) {
  std::string json = "{\"recno\":" + std::to_string(table.RecNo()) + ",\"deleted\":" + (table.Deleted() ? "true" : "false");
  for (const FieldDescriptor& field : table.Fields()) {
    json += "," + JsonString(Cp1252ToUtf8(field.cName)) + ":" + FieldAsJson(table, field);
  }
  return json + "}";
}

}  // namespace memotab
