#pragma once

#include "legacy/ConversionReport.h"
#include "legacy/FileConversion.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora::app {

// The program's data files that are in the earlier Jet format, in the order start-up meets
// them: the program folder's SetupPP.mdb, then the main data file and the template library
// of the data path its company record names (read from the Jet file itself when the
// settings file is still in that format). Files that are missing or already Velmora's are
// not listed.
std::vector<legacy::FileInPlace> findJetDataFiles(const QString& programFolder);

// What converting the program's Jet files where they lie did.
struct JetConversionResult {
    std::vector<legacy::ConversionReport> reports;
    // Report definitions of the data folder that Velmora cannot read (the earlier program's
    // own reports): printing names them until they are replaced.
    QStringList unreadableReports;
    // The text files beside the kept originals that hold each file's whole report.
    QStringList reportFiles;
};

// The text file beside a kept original that holds its conversion's report: NAME.jet.txt.
QString reportFileName(const QString& path);

// Converts the files (all or none; the originals kept as NAME.jet), gives a converted main
// data file the reports' stored queries and its data folder the report definitions it
// lacks. Throws data::DbError (legacy::ConversionCancelled) with every file left as
// it was.
JetConversionResult convertJetDataFiles(const std::vector<legacy::FileInPlace>& files,
                                        const legacy::ProgressFn& progress);

// The text shown after a conversion: each file's report in short, and where the whole
// reports are kept.
QString conversionSummary(const JetConversionResult& result);

}  // namespace velmora::app
