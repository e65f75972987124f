#pragma once

#include <QDate>
#include <QString>

namespace velmora::data {

// How a date is shown to a person, on every screen and in every printed list: the locale's
// short date ("7 Dec 2026" in the default locale). Files written for other programs (CSV)
// keep ISO dates (2026-12-07).
QString displayDate(const QDate& date);

// The same for date text as the engine stores it ("2026-12-07", with or without a time):
// text that is no such date is shown as it stands.
QString displayDateText(const QString& text);

// The same display as a date picture of Format ("d mmm yyyy" in the default locale): the
// engine's "Short Date" and "General Date", on the files and on the server alike. Month and
// day names in it are written in English, as every picture of Format writes them.
QString displayDatePicture();

}  // namespace velmora::data
