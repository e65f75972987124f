#pragma once

#include "TextWidths.h"

#include <QString>
#include <QStringList>

namespace velmora::exporting {

// The lines a text takes in a column of a given width: its own line breaks kept, then
// broken at blanks; a word wider than the column is broken where it must, so that every
// character is printed and none runs into the next column.
QStringList wrapText(const QString& text, const TextWidths& widths, qreal width);

// What a text needs across: the widest of its own lines (its natural width), and the widest
// of its words (less than that and a word is broken).
qreal widestLine(const QString& text, const TextWidths& widths);
qreal widestWord(const QString& text, const TextWidths& widths);

// The least width at which a heading stands on at most two lines, broken at a blank.
qreal twoLineWidth(const QString& text, const TextWidths& widths);

}  // namespace velmora::exporting
