#pragma once

#include <QString>

namespace velmora::exporting {

// The text of a cell of a CSV file meant for people, who open it in a spreadsheet program.
// Such a program takes a cell that begins with =, +, -, @, a tab or a carriage return for a
// formula and runs it (=HYPERLINK(...), +1+cmd|...): a text like that is written with an
// apostrophe in front, so that it is shown as the text it is. A number stays as it is:
// -5, +1.5 and -1,234.50 are numbers, not formulas.
QString spreadsheetText(const QString& text);

// Whether a spreadsheet program would take the text for a formula.
bool readsAsFormula(const QString& text);

}  // namespace velmora::exporting
