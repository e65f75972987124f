#pragma once

#include "JetType.h"

#include <QByteArray>
#include <QString>

#include <map>

struct S_MdbTableDef;

namespace velmora::legacy {

// What the column entries of a table's definition say beyond what mdbtools reads from them.
struct ColumnDefinition {
    bool calculated = false;  // an ACE calculated field: the row holds its stored result
    JetType resultType = JetType::Unknown;  // the type of that result; Unknown: not known
    QString expression;                     // the expression it is worked out from
    int precision = 0, scale = 0;           // Decimal, as the entry holds them
};

// The type of a column whose type code (mdbtools' MDB_ constants, as the file stores them) is
// given; Unknown for a code the conversion does not know.
JetType jetTypeOfCode(int code);

// The column entries of a table's definition, by column number. Empty when the definition's
// pages cannot be read; a Jet 3 or Jet 4 file has no calculated fields.
std::map<int, ColumnDefinition> readColumnDefinitions(S_MdbTableDef* table);

// The value a calculated field stores for a row: its bytes follow a header of sixteen
// bytes and a 32-bit length. Empty with *ok false when the bytes are too short to hold it.
QByteArray calculatedResult(const char* bytes, qsizetype size, bool* ok);

// A 128-bit magnitude (four 32-bit words, the most significant first) as decimal text with
// the point placed by the scale, after a minus sign when negative and not zero.
QString scaledDecimalText(bool negative, const quint32 (&words)[4], int scale);

// A Decimal result of a calculated field: two bytes, the scale, the sign (0x80: negative),
// then the 96-bit magnitude as three 32-bit words in the order high, low, middle. Empty when
// the bytes are too few.
QString calculatedDecimalText(const QByteArray& bytes);

}  // namespace velmora::legacy
