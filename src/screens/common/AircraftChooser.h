#pragma once

#include <QString>

class QWidget;

namespace velmora::data {
class Database;
class Recordset;
}  // namespace velmora::data

namespace velmora::screens {

class BoundRecordSource;
class Chooser;

// The aircraft chooser (Combo1) of the screens that show one aircraft at a time, and the
// navigation bar over their aircraft rows.

// The caption of the navigation bar over the aircraft rows.
QString aircraftNavigationCaption();

// Lists the registration numbers of the rows in the chooser, each once, in the order of
// the rows; a row without a registration is not listed.
void listRegistrations(Chooser& chooser, const data::Recordset* rows);

// The find criterion of an aircraft row by its registration: RegNum = 'N1', the text
// quoted as a literal.
QString registrationCriterion(const QString& regNum);

// Makes the aircraft of a registration the current row of the source. False when the row
// shown could not be left (its changes were refused and reported): it stays current.
// A registration no row has leaves the row shown as it is, and gives true.
bool findAircraft(BoundRecordSource& source, const QString& regNum);

// Whether the data file holds an aircraft with this registration (as the engine compares
// text): rows that name an aircraft are written only while it does. Throws data::DbError
// when the file cannot be read.
bool aircraftInFile(data::Database& db, const QString& regNum);

// Before a row that names an aircraft is written: whether the aircraft is still in the
// source's data file (or the source has no file). When another screen renamed or deleted
// it since, or the file cannot be read, a message box under the screen's title says that
// the record ("component", "sample") is not saved, with the advice after it, and the
// answer is false.
bool aircraftStillInFile(QWidget* parent, const BoundRecordSource& source, const QString& regNum,
                         const QString& record, const QString& advice, const QString& title);

// Shows the entry of the aircraft on screen again, without running the chooser's click
// handler: after a move to another aircraft was refused.
void keepChooserOn(Chooser& chooser, const QString& regNum);

}  // namespace velmora::screens
