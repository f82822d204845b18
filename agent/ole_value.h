#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "date.h"

namespace memotab {

class TOleAuto;

// A value the program hands to an automation object or gets back from one that the
// bridge cannot pass on: arrays, closures, objects of other classes. It travels as empty.
struct OtherValue {
  bool operator==(const OtherValue&) const = default;
};

// A program value as the automation bridge converts it: nil, a whole number, a floating
// point number, Windows-1252 text, a logical, a date, an automation object, or anything else.
using OleValue =
    std::variant<std::monostate, int64_t, double, std::string, bool, Date, std::shared_ptr<TOleAuto>, OtherValue>;

// A number as the program holds it: whole numbers that fit 32 bits as integers (they
// travel as 32-bit integers), others as floating point.
OleValue OleNumber(double value);

// The value's one-letter type: "U" nil, "N" number, "C" text, "L" logical, "D" date,
// "O" object, "U" anything else.
char TypeLetter(const OleValue& value);
bool IsNil(const OleValue& value);
// The value as text, number or logical, or `fallback` when it is of another type.
std::string AsText(const OleValue& value, const std::string& fallback = {});
double AsNumber(const OleValue& value, double fallback = 0);
bool AsLogical(const OleValue& value, bool fallback = false);

}  // namespace memotab
