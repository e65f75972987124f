#pragma once

// Jet's arithmetic on the engine's values, and the runtime errors of its expressions.
// The SQLite back end calls these for the operators of translated SQL; the server has the
// same rules as SQL functions. Internal to the engine.

#include "DbError.h"
#include "Value.h"

namespace velmora::data {

// Jet's own words for a runtime error: "Invalid procedure call or argument" (5),
// "Overflow" (6), "Division by zero" (11), "Data type mismatch" (3464).
QString jetRuntimeErrorText(ErrorNumber number);
// A runtime error of an expression: Jet's words and what was wrong ("Sqr of -4"). The
// statement that meets one fails as a whole.
DbError jetRuntimeError(ErrorNumber number, const QString& detail);

// A number that must be finite: Overflow otherwise (what gave it names it in the message).
double finiteOrOverflow(double d, const char* what);

// "+": numbers add; two texts join; a number and a text that reads as a number add; a date
// (as the engine stores it) and a number of days give a date. Null when either is Null.
// Anything else is a type mismatch; a sum beyond the range of numbers an overflow.
// A side said to be a date (the files keep dates as text) is never joined as text: a date
// and a text that reads as a number give a date, a date and any other text a type mismatch.
Value jetAdd(const Value& a, const Value& b, bool aIsDate = false, bool bIsDate = false);
// "-": numbers and texts that read as numbers subtract; a date less a number of days is a
// date, a date less a date the days between them.
Value jetSubtract(const Value& a, const Value& b);
// "*" and "/" on numbers and texts that read as numbers. A division by zero is an error
// (0/0 an overflow, as in Jet).
Value jetMultiply(const Value& a, const Value& b);
Value jetDivide(const Value& a, const Value& b);
// "\" and Mod: both sides rounded to whole numbers first (halves to even); a zero divisor
// is a division by zero, a side beyond 64-bit whole numbers an overflow.
Value jetIntDivide(const Value& a, const Value& b);
Value jetModulo(const Value& a, const Value& b);
// "^": an overflow beyond the range of numbers, and an invalid argument where there is no
// real result (a negative number to a fractional power, 0 to a negative one).
Value jetPower(const Value& a, const Value& b);

}  // namespace velmora::data
