#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace velmora::data {

// Compares two UTF-8 texts as Jet does: trailing blanks and letter case (Unicode simple
// case folding) do not count. Negative, zero or positive like strcmp(). Bytes that are not
// UTF-8 compare by their value, consistently, so that the order is total.
int jetTextCompare(const char* a, int aBytes, const char* b, int bBytes);

// A hash of a UTF-8 text under that comparison: texts that compare equal hash alike.
std::uint64_t jetTextHash(const char* text, int bytes);

// Jet's Like: "*" any run of characters, "?" any one character, "#" one digit, "[abc]" or
// "[a-z]" one of a set, "[!...]" one not in it; "%" and "_" are ordinary characters.
// Letter case does not count. Linear in the text for each character of the pattern.
bool jetLike(QStringView text, QStringView pattern);

// Jet's Val(): the number at the start of a text, blanks, tabs and line breaks ignored
// anywhere: "1e3" is 1000, "12abc" 12, "&HFF" 255, "abc" 0. Empty when the number does not
// fit a Double (1e400).
std::optional<double> jetVal(const QString& text);

// The text without the blanks (spaces) at its start and end; tabs and line breaks stay. A
// registration number is compared and selected by this text.
QString trimBlanks(const QString& text);

// A number as Jet writes it in text: up to fifteen significant digits, an exponent in
// capitals ("1E+20", "1.5E-07").
QString jetNumberText(double v);

}  // namespace velmora::data
