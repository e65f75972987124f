#pragma once

#include "data/FieldType.h"
#include "data/Value.h"

#include <QDate>
#include <QString>

#include <optional>

namespace velmora::screens {

// The text a grid cell shows for a value under a column's display format.
//
// Named formats: "Yes/No" (a number: 0 is "No", any other "Yes"), "Short Date" (the locale's
// short date of an ISO date), "Currency" (the locale's currency, two decimals), "General
// Number" (the number as the engine writes it). Any other format is a number picture of up
// to four sections, positive;negative;zero;Null ("#####0.0;;;\ ").
//
// Values a format cannot apply to are shown as they stand: text that is not an ISO date
// under "Short Date" ("02/28/05", " "), text that is not a number under a number format,
// and any text under "Yes/No" (a typed "y" stays "y" until the row is written).
// Without a format, Null is empty, numbers are plain, a date column shows the locale's short
// date and text is shown as it stands.
QString formatForDisplay(const data::Value& v, const QString& format, data::FieldType type);

// The text a file (CSV) is given for a cell: what the grid shows, in a form other programs
// read back. Numbers are rounded as the format shows them, without thousands separators or
// currency signs ("$6,900.00" is 6900.00, "#####0.0" of 101.900000000001 is 101.9); dates
// stay as stored (ISO, 2026-12-07); Yes/No cells are the words shown. A cell that shows
// nothing, or only blanks (a zero under "########;;;\ ", the one-blank date), is nothing.
std::optional<QString> formatForExport(const data::Value& v, const QString& format,
                                       data::FieldType type);

// The date of ISO text as the engine stores it ("2005-01-31", "2005-01-31 14:30:00",
// "2005-01-31T14:30:00"); nothing for any other text.
std::optional<QDate> isoDate(const QString& text);

// True for a number below zero: a remaining life that has run out.
bool isOverdue(const data::Value& v);

// True for a date, as text ("02/28/05", "2005-02-28") or a date value, that lies before
// today: a retirement date that has passed. Text that is no date (" ") is never past due.
bool isPastDue(const data::Value& v, const QDate& today);

}  // namespace velmora::screens
