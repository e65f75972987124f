#pragma once

#include "ConversionReport.h"
#include "Converter.h"
#include "TableSource.h"
#include "TargetKind.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace velmora::legacy {

struct ConversionOptions {
    // Which of Velmora's files the source becomes; told by its tables and name when empty.
    std::optional<TargetKind> kind;
    // Runs in a new main data file's transaction right after its tables are made: what a
    // new main data file carries besides its tables (the reports' stored queries).
    std::function<void(data::Database&)> completeMainFile;
    ProgressFn progress;
    // Convert into a scratch file that is thrown away: the report tells what a conversion
    // would do, and nothing is written beside the source or destination.
    bool dryRun = false;
    // The code page of a Jet 3 file's text (an iconv name such as GBK or CP1251): a Jet 3
    // file does not say which it is. Empty: Windows-1252.
    QString codePage;
};

// Converts a Jet file into a new Velmora data file: written into a temporary file beside
// the destination in one transaction, and given the destination's name only when it is
// complete. An existing destination is never written over; the source is only read.
// Throws data::DbError with a message for the user when the source cannot be read or the
// destination cannot be written (nothing is left behind then), ConversionCancelled when
// progress cancels it.
ConversionReport convertJetFile(const QString& source, const QString& destination,
                                const ConversionOptions& options);

// The same from any table source; sourceName names it in the report.
ConversionReport convertSource(TableSource& source, const QString& sourceName,
                               const QString& destination, const ConversionOptions& options);

// A Jet file to be converted where it lies, and which of Velmora's files it is.
struct FileInPlace {
    QString path;
    TargetKind kind = TargetKind::Other;
};

// The name the original of a file converted in place is kept under: NAME.jet.
QString keptOriginalName(const QString& path);

// Converts Jet files where they lie, all or none: each is converted into a temporary file
// beside it first; when all are complete, each original is renamed to NAME.jet, unchanged,
// and the converted file takes its name. Progress counts the rows of all the files. A
// failure or a cancel leaves every file as it was. Throws data::DbError (ConversionCancelled).
std::vector<ConversionReport> convertInPlace(const std::vector<FileInPlace>& files,
                                             const ConversionOptions& options);

}  // namespace velmora::legacy
