#include "FileConversion.h"

#include "ReaderProcessSource.h"
#include "StaleConversions.h"
#include "data/DataFiles.h"
#include "data/DbError.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace velmora::legacy {

namespace {

using data::Database;
using data::DbError;

bool existsAnyCase(const QString& path) {
    return QFileInfo::exists(path) || QFileInfo::exists(data::resolvePathCaseInsensitive(path));
}

void removeFileAndJournal(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// Refuses a destination that exists or lies in a folder that is missing or read-only.
void checkDestination(const QString& destination) {
    if (destination.trimmed().isEmpty())
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("No file was named to write the converted data to."));
    if (existsAnyCase(destination))
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The file %1 exists already; a conversion never writes "
                                           "over a file.")
                                .arg(destination));
    const QFileInfo folder(QFileInfo(destination).absolutePath());
    if (!folder.isDir())
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The folder %1 does not exist: the converted file "
                                           "cannot be written there.")
                                .arg(folder.filePath()));
    // The folder's own permission bits count even for a user (root) whom the system would let
    // write anyway: a folder marked read-only stays unchanged.
    constexpr auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(folder.permissions() & anyWrite) || !folder.isWritable())
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The folder %1 is read-only: the converted file cannot "
                                           "be written there.")
                                .arg(folder.filePath()));
}

// A name beside the destination that no file has yet, for the file being written.
QString temporaryNameBeside(const QString& destination) {
    for (int n = 1;; ++n) {
        const QString candidate = n == 1 ? destination + QStringLiteral(".converting")
                                         : destination + QStringLiteral(".converting-%1").arg(n);
        if (!QFileInfo::exists(candidate) &&
            !QFileInfo::exists(candidate + QStringLiteral("-journal")))
            return candidate;
    }
}

std::optional<data::schema::DataFile> dataFileOf(TargetKind kind) {
    switch (kind) {
        case TargetKind::Company:
            return data::schema::DataFile::Company;
        case TargetKind::Main:
            return data::schema::DataFile::Main;
        case TargetKind::Templates:
            return data::schema::DataFile::Templates;
        case TargetKind::Other:
            break;
    }
    return std::nullopt;
}

// Messages of the engine name the file it wrote, which was the temporary one.
void nameDestinationIn(ConversionReport* report, const QString& written,
                       const QString& destination) {
    auto fix = [&](QString& text) { text.replace(written, destination); };
    for (SkippedItem& s : report->skipped)
        fix(s.reason);
    for (QueryReport& q : report->queries)
        fix(q.reason);
    report->renameInValueProblems(written, destination);
}

// Writes a complete new file at path in one transaction; nothing is left there on failure.
// Messages and the report name the file shownAs, the name the file is for.
void writeFile(TableSource& source, TargetKind kind, const QString& path, const QString& shownAs,
               const ConversionOptions& options, ConversionReport* report) {
    auto fill = [&](Database& db) {
        if (kind == TargetKind::Main && options.completeMainFile)
            options.completeMainFile(db);
        copyTables(source, kind, db, options.progress, report);
    };
    try {
        if (const auto dataFile = dataFileOf(kind)) {
            data::schema::createDataFile(path, *dataFile, fill);
            nameDestinationIn(report, path, shownAs);
            return;
        }
        auto db = Database::create(path);
        try {
            data::Transaction tx(*db);
            fill(*db);
            tx.commit();
        } catch (...) {
            db.reset();
            removeFileAndJournal(path);
            throw;
        }
        nameDestinationIn(report, path, shownAs);
    } catch (const DbError& e) {
        removeFileAndJournal(path);
        if (isJetFileFailure(e))
            throw;  // the source's failure (or a cancel), told as it is
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The converted file cannot be written: %1")
                                .arg(QString(e.text()).replace(path, shownAs)));
    } catch (...) {
        removeFileAndJournal(path);
        throw;
    }
}

ConversionReport startReport(TableSource& source, const QString& sourceName,
                             const QString& destination, TargetKind kind, bool dryRun) {
    ConversionReport report;
    report.source = sourceName;
    report.destination = destination;
    report.sourceFormat = source.formatName();
    report.fileKind = describeTargetKind(kind);
    report.dryRun = dryRun;
    return report;
}

// Converts into a file beside the destination, left there for the caller to rename.
ConversionReport convertBeside(TableSource& source, const QString& sourceName,
                               const QString& destination, const QString& temporary,
                               const ConversionOptions& options) {
    const TargetKind kind = options.kind.value_or(guessTargetKind(sourceName, source.tables()));
    ConversionReport report = startReport(source, sourceName, destination, kind, false);
    writeFile(source, kind, temporary, destination, options, &report);
    return report;
}

}  // namespace

QString keptOriginalName(const QString& path) {
    return path + QStringLiteral(".jet");
}

ConversionReport convertSource(TableSource& source, const QString& sourceName,
                               const QString& destination, const ConversionOptions& options) {
    checkDestination(destination);
    const TargetKind kind = options.kind.value_or(guessTargetKind(sourceName, source.tables()));
    ConversionReport report = startReport(source, sourceName, destination, kind, options.dryRun);
    if (options.dryRun) {
        QTemporaryDir scratch;
        if (!scratch.isValid())
            throw data::DbError(data::err::JetFile,
                                QStringLiteral("No scratch folder can be made for the dry run: %1")
                                    .arg(scratch.errorString()));
        const QString scratchFile = scratch.filePath(QStringLiteral("dry-run.mdb"));
        writeFile(source, kind, scratchFile, destination, options, &report);
        return report;
    }
    removeStaleConversions(destination);
    const QString temporary = temporaryNameBeside(destination);
    writeFile(source, kind, temporary, destination, options, &report);
    // Renaming never replaces a file that appeared meanwhile.
    if (!QFile::rename(temporary, destination)) {
        removeFileAndJournal(temporary);
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The converted file could not be given the name %1 (a "
                                           "file of that name may have appeared meanwhile); "
                                           "nothing was kept.")
                                .arg(destination));
    }
    return report;
}

ConversionReport convertJetFile(const QString& source, const QString& destination,
                                const ConversionOptions& options) {
    // The destination is checked first: a wrong destination is told before a long read.
    checkDestination(destination);
    checkCodePage(options.codePage);
    auto jet = openJetFile(source, options.codePage);
    ConversionReport report = convertSource(*jet, source, destination, options);
    if (report.sourceFormat == u"Jet 3")
        report.codePage = jet3CodePage(options.codePage);
    return report;
}

std::vector<ConversionReport> convertInPlace(const std::vector<FileInPlace>& files,
                                             const ConversionOptions& options) {
    struct Work {
        FileInPlace file;
        std::unique_ptr<TableSource> source;
        QString temporary;
        qint64 rows = 0;
        bool renamedOriginal = false, renamedConverted = false;
    };
    std::vector<Work> work;
    qint64 total = 0;
    // Every file is read and checked before anything is written.
    for (const FileInPlace& f : files) {
        if (existsAnyCase(keptOriginalName(f.path)))
            throw data::DbError(data::err::JetFile,
                                QStringLiteral("%1 cannot be converted: a file named %2 is there "
                                               "already, and the original would be kept under "
                                               "that name.")
                                    .arg(f.path, keptOriginalName(f.path)));
        checkDestination(keptOriginalName(f.path));
        Work w;
        w.file = f;
        w.source = openJetFile(f.path);
        w.rows = totalRows(*w.source);
        total += w.rows;
        work.push_back(std::move(w));
    }

    auto discard = [&] {
        for (Work& w : work) {
            if (!w.temporary.isEmpty())
                removeFileAndJournal(w.temporary);
        }
    };
    std::vector<ConversionReport> reports;
    qint64 done = 0;
    try {
        for (Work& w : work) {
            ConversionOptions o = options;
            o.kind = w.file.kind;
            if (options.progress)
                o.progress = [&](qint64 n, qint64) { return options.progress(done + n, total); };
            removeStaleConversions(w.file.path);
            w.temporary = temporaryNameBeside(w.file.path);
            reports.push_back(convertBeside(*w.source, w.file.path, w.file.path, w.temporary, o));
            done += w.rows;
        }
    } catch (...) {
        discard();
        throw;
    }
    // The sources are closed before their files are renamed.
    for (Work& w : work)
        w.source.reset();

    for (Work& w : work) {
        w.renamedOriginal = QFile::rename(w.file.path, keptOriginalName(w.file.path));
        w.renamedConverted = w.renamedOriginal && QFile::rename(w.temporary, w.file.path);
        if (w.renamedConverted)
            continue;
        // Puts back what was renamed, so that every file is as it was.
        for (Work& back : work) {
            if (back.renamedConverted)
                QFile::rename(back.file.path, back.temporary);
            if (back.renamedOriginal)
                QFile::rename(keptOriginalName(back.file.path), back.file.path);
        }
        discard();
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("%1 could not be renamed to %2: the files were left as "
                                           "they were.")
                                .arg(w.file.path, keptOriginalName(w.file.path)));
    }
    for (ConversionReport& r : reports)
        r.originalKeptAs = keptOriginalName(r.source);
    return reports;
}

}  // namespace velmora::legacy
