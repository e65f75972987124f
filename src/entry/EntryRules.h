#pragma once

#include "data/Recordset.h"
#include "data/Value.h"

#include <QString>

// The rules for entering meter readings and airframe totals, shared by the aircraft set-up
// screen and the time remaining screen. They know nothing of widgets: a screen hands them an
// EntryHost for the field being left, and they read the row, ask their questions, stage the
// new column values and run the screen's save step through it.
namespace velmora::entry {

// The reading rule: blanks, tabs and line feeds removed anywhere; optional sign, digits with at
// most one '.', optional exponent (E or D, optional sign, digits); "&H" / "&O" at the start: hex /
// octal whole number; reading stops at the first character that does not fit; no number → 0.
// A leading "+" may be followed by a sign of its own ("+-3" reads -3), so that an increment can
// be negative. A number too large (or too small) for a double reads as 0.
double readEntryNumber(const QString& text);

// Writes v in one of the entry pictures: "####0.0", "#####0.0" (one decimal) or "#####0" (whole
// number), rounding half away from zero; a negative value gets a leading "-".
QString writeInPicture(double v, const QString& picture);

// All significant digits (up to fifteen), no fixed decimals, no grouping: 1236.5, 1240.
QString plainNumberText(double v);

enum class EntryScreen { AircraftSetup, TimeRemaining };
// The airframe totals: TotalTime, TotalLandings, TotalCycles, TotalRIN.
enum class Total { FlightTime, Landings, Cycles, RIN };

// The column a total is kept in: "TotalTime", "TotalLandings", "TotalCycles", "TotalRIN".
QString totalColumn(Total total);

// A column's new value worked out from the aircraft row as it is stored at the moment the
// save step writes it: another workstation (or screen) may have saved an entry since.
using StoredColumns = data::Recordset::StoredColumns;
using ColumnChange = data::Recordset::Change;

// What the rules need of the screen whose field is being left.
class EntryHost {
  public:
    virtual ~EntryHost() = default;
    // The current row's value as stored at the moment it is read (which may be newer than
    // the screen shows); Null when none.
    virtual data::Value stored(const QString& column) const = 0;
    // "Begin an edit; column = v": written into the row by the save step.
    virtual void stage(const QString& column, const data::Value& v) = 0;
    // "Begin an edit; column = change(row as stored)": worked out again by the save step
    // from the row as it is stored when it is written, so that entries saved meanwhile by
    // another workstation are kept (a total grows by this entry's amount on top of them).
    virtual void stage(const QString& column, ColumnChange change) = 0;
    // The text of the field being left.
    virtual QString fieldText() const = 0;
    virtual void setFieldText(const QString& text) = 0;
    // Whether the field's text was changed since the screen showed the row: an untouched
    // field enters the value as stored, not the one the screen read.
    virtual bool fieldChanged() const = 0;
    // A question with the buttons Yes and No; Yes → true.
    virtual bool askYesNo(const QString& text, const QString& title) = 0;
    // The screen's save step.
    virtual void saveStep() = 0;
};

// A meter reading entry (meter 1: CurrentMeter1 / LastMeter1 / TotalTime, meter 2:
// CurrentMeter2 / LastMeter2 / TotalTime2). A "+" entry adds to the reading, any other entry is
// the new reading; the flight time it represents (rounded to one decimal) is added to the
// meter's total once the user confirms it. Ends with the save step. Any other meter number
// does nothing.
void applyMeterRule(EntryHost& host, int meter, EntryScreen screen);  // meter 1 or 2

// An airframe total entry: a "+" entry is added without a question, any other entry that differs
// from the stored total is confirmed first. Ends with the save step. The new total is written
// into the field and staged as a number.
void applyTotalRule(EntryHost& host, Total total);

// Enter-key order: the index the focus moves to from a field, or -1 when it stays (the
// fields of each screen are in EntryFields.h).
int nextFieldOnEnter(EntryScreen screen, int index);

}  // namespace velmora::entry
