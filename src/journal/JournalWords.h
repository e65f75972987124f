#pragma once

#include "JournalLines.h"

#include <QString>

namespace velmora::journal {

// The journal's lines as a person reads them: the screen by its caption, the column by the
// label it has on the screens, a change as "column: old → new". The lines themselves keep
// the names the program wrote (CSV and velmora-journal list give those).

// "Aircraft Set-up" for frmAircraft; a name that is no screen of the program (a tool's
// name, a screen of a later version) as it is.
QString screenCaption(const QString& screen);

// "Current Meter #1" for CurrentMeter1; a column the program does not know, its name with
// blanks between its words.
QString columnWords(const QString& table, const QString& column);

// A value as the screens would show it: "(empty)" for Null, "Yes" and "No" in a Yes/No
// column, other values as stored.
QString valueWords(const QString& table, const QString& column, const data::Value& value);

// What a line is about: "Aircraft N1", "Component 10 of N1", "Oil sample of N1",
// "Planned use of N1", "Data file".
QString subjectWords(const JournalLine& line);

// What a line says happened: "Total Time: 800.0 → 802.0"; a row added, removed or found
// when the journal began, with its values; a restore from a backup.
QString changeWords(const JournalLine& line);

// The same for one column's change.
QString columnChangeWords(const QString& table, const QString& column, const data::Value& before,
                          const data::Value& after);

}  // namespace velmora::journal
