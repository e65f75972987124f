#pragma once

#include "ReportJob.h"
#include "ReportSelection.h"
#include "data/Failure.h"
#include "reportfiles/ReportDefinition.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

namespace velmora::data {
class Database;
}

namespace velmora::reports {

// One printed value of the component list.
struct ReportCell {
    QString text;
    bool highlighted = false;  // overdue (or due): printed to stand out
    bool dueSoon = false;      // within the company's warning levels, not yet overdue
};

// A line of the component list: a component's row, or the heading of a group.
struct ReportLine {
    bool isGroup = false;
    QString groupText;
    std::vector<ReportCell> cells;  // one per column of the definition
    bool highlighted = false;       // some value of the row stands out
    bool dueSoon = false;           // the component is due soon (and nothing stands out)
};

struct ReportFactItem {
    QString caption;
    QString value;
};

// Everything a report prints, read and formatted; the renderer only lays it out.
struct ReportModel {
    ReportDefinition definition;
    QString selectionFormula;
    QString dataFile;  // the data file read
    bool aircraftFound = false;
    std::vector<ReportFactItem> facts;
    std::vector<ReportLine> lines;
    int rowCount = 0;
    int highlightedRows = 0;
    int dueSoonRows = 0;
    // The newest line of the data file's entry journal ("Journal line 1234, 3f5a9c0e12ab4d77"),
    // printed at the foot of every page: an anchor of the chain outside the file that
    // velmora-journal verify --anchor compares. Empty when the file keeps no journal.
    QString journalAnchor;

    // A header, footer or summary text with its {names} filled in; {Page} and {Pages} with
    // the numbers given.
    QString expand(const QString& text, int page = 0, int pages = 0) const;

    QHash<QString, QString> values;  // by case-folded name: Company, Printed, RegNum, ...
};

// Reads a report: its definition file, the selection formula, the data file. A failure,
// with a message naming the file (or the formula) at fault, when any of them cannot be
// used; out is kept as it was. The stored queries are added to a data file that lacks them.
[[nodiscard]] data::MaybeFailure loadReportModel(
    const ReportJob& job, ReportModel* out,
    const QDateTime& printed = QDateTime::currentDateTime());

// The data file a job reads: its data file name resolved against the report file's
// folder when it names no folder, letter case not regarded.
QString reportDataFilePath(const ReportJob& job);

// How a report judges remaining life besides what its definition highlights: the warning
// levels and the aircraft's daily use, by which a component is marked due soon. Where the
// data source lacks LifeBasis, MeterNumber, LifeNumber, Remaining or RetireDate, nothing is.
struct ReportLevels {
    due::WarningSettings warnings;
    due::UtilisationFactory utilisation;
};

// The same from a definition already read and a database already open.
[[nodiscard]] data::MaybeFailure buildReportModel(const ReportDefinition& definition,
                                                  const QString& selectionFormula,
                                                  const std::shared_ptr<data::Database>& db,
                                                  const QString& companyName,
                                                  const QString& companyPhone,
                                                  const QDateTime& printed, ReportModel* out,
                                                  const ReportLevels& levels = {});

}  // namespace velmora::reports
