#pragma once

#include "due/DueList.h"
#include "due/WarningLevel.h"
#include "export/TablePrinter.h"

#include <QDate>
#include <QDateTime>
#include <QStandardItemModel>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace velmora::data {
class Database;
}
namespace velmora::utilisation {
class UtilisationSource;
}

// The status of an aircraft's life-limited parts: every limit of every component fitted to
// it, with what it has used, what remains (the due list's own figure, so the time remaining
// screen's), its due date, time since new and since overhaul where the history tells them,
// and which limit of each component comes due first.
namespace velmora::components {

struct LifeLimitedLine {
    std::optional<int> itemNumber;
    QString description, partNumber, serialNumber;
    QString basis;  // the code as stored
    std::optional<due::Basis> basisKind;
    std::optional<int> meter;
    std::optional<double> life;
    // Used: the life less what remains (whole and part months for a months limit).
    std::optional<double> used, remaining;
    QDate dueDate;  // the retirement date, or projected with the aircraft's daily use
    due::Projection projection = due::Projection::NoFigure;
    due::WarningLevel level = due::WarningLevel::None;
    // The limit of its component that comes due first (a component of one limit: that one).
    bool controls = true;
    // In the limit's unit. Since new: a retire, landings, cycles, RIN or months limit's life
    // used with what overhauls set back added again; an overhaul or inspection limit takes
    // the figure of the component's retire limit on the same meter. Since overhaul: the life
    // used since the component's last recorded overhaul; without one, an overhaul limit's
    // own life used (it counts from the last overhaul), and an inspection or retire limit
    // takes that of the overhaul limit on the same meter. Nothing where neither is known.
    std::optional<double> sinceNew, sinceOverhaul;
};

struct LifeLimitedStatus {
    QString regNum;  // as stored
    QDate day;
    due::AircraftTotals totals;
    std::vector<LifeLimitedLine> lines;  // by item number, then basis
};

// Reads the status of the aircraft's limited components (active rows with a life basis and
// a life) as of the day given; the daily use and warning levels are those of the due list.
// Throws data::DbError (ItemNotFound) when the registration is not on file, or when the
// file cannot be read.
LifeLimitedStatus readLifeLimitedStatus(data::Database& mainDb, const QString& regNum,
                                        const utilisation::UtilisationSource& use,
                                        const due::WarningSettings& warnings, const QDate& day);

enum LifeLimitedColumn {
    LlpItem,
    LlpDescription,
    LlpPartNumber,
    LlpSerial,
    LlpBasis,
    LlpMeter,
    LlpLimit,
    LlpUsed,
    LlpRemaining,
    LlpDue,
    LlpSinceNew,
    LlpSinceOverhaul,
    LlpControls,
    LlpColumnCount
};
// The status as a table for the window's grid, CSV and the printed report; overdue
// figures in red and those due soon in dark yellow, as the due list marks them.
std::unique_ptr<QStandardItemModel> lifeLimitedTable(const LifeLimitedStatus& status);

// The printed report of a table made by lifeLimitedTable: its title, what it shows and when.
exporting::TablePrintJob lifeLimitedPrintJob(const LifeLimitedStatus& status,
                                             const QStandardItemModel& table,
                                             const QDateTime& printed);

}  // namespace velmora::components
