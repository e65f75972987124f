#pragma once

#include "data/Failure.h"

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

namespace velmora::reports {

// The two data sources a report reads: stored queries of the main data file.
inline const QString kRemainingSource = QStringLiteral("Remaining");
inline const QString kForecastSource = QStringLiteral("Forecast");

// The file names of the two reports in the data folder.
inline const QString kActualReportFile = QStringLiteral("1.rpt");
inline const QString kForecastReportFile = QStringLiteral("2.rpt");

enum class CellAlign { Left, Center, Right };

// How a column marks a value that is overdue: not at all, a number below zero, or a row
// whose flag field is true (Yes).
enum class Highlight { None, Negative, Flag };

struct ReportColumn {
    QString caption;  // "\n" in the file breaks the caption over lines
    QString field;    // a field of the data source
    QString picture;  // number or date picture; empty writes the value as it stands
    double width = 10;
    CellAlign align = CellAlign::Left;
    Highlight highlight = Highlight::None;
    QString flagField;  // for Highlight::Flag
};

// One fact of the aircraft block: a caption and a column of the aircraft's row.
struct ReportFact {
    QString caption;
    QString field;
    QString picture;
};

// A report definition as read from its file (docs/reports.md describes the format).
struct ReportDefinition {
    QString fileName;  // where it was read from, for messages
    QString title;
    QString source;  // kRemainingSource or kForecastSource
    QPageSize::PageSizeId paper = QPageSize::Letter;
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
    double fontSize = 8;                                        // points
    double marginMm = 12;                                       // all four sides
    QString datePicture = QStringLiteral("dd mmm yyyy hh:nn");  // {Printed}
    QString headerLeft, headerCenter, headerRight;
    QString footerLeft, footerCenter, footerRight;
    QStringList sortFields;
    QString groupField;
    QString emptyText = QStringLiteral("No installed components.");
    QString noAircraftText = QStringLiteral("No aircraft is selected by {Selection}.");
    QString summaryText;  // printed after the list; may use {Overdue} and {Count}
    QString factsTitle;
    int factColumns = 3;
    QList<ReportFact> facts;
    QList<ReportColumn> columns;
};

// Reads a definition from its text. A failure (err::SyntaxError) with a message naming the
// file and the line when the text is not a complete definition; out is kept as it was.
[[nodiscard]] data::MaybeFailure parseReportDefinition(const QString& text, const QString& fileName,
                                                       ReportDefinition* out);

// Reads a definition file; a missing or unreadable file is a failure naming it.
[[nodiscard]] data::MaybeFailure loadReportDefinition(const QString& path, ReportDefinition* out);

// The text of a default definition: 1.rpt (actual) or 2.rpt (forecast).
QString defaultReportDefinitionText(const QString& reportFileName);

// Writes the default 1.rpt and 2.rpt into a data folder, each only where no file of that
// name (in any letter case) exists yet. Throws DbError (err::InvalidPath for a missing
// folder, err::DiskError for a file that cannot be written) naming the folder or file.
void writeDefaultReportDefinitions(const QString& dataFolderPath);

// The names a header, footer or summary text may use in braces besides the columns of
// the aircraft's row.
QStringList reportPlaceholderNames();

}  // namespace velmora::reports
