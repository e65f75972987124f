#include "DataSetMigration.h"

#include "DataFiles.h"
#include "Database.h"
#include "JetSqlTranslator.h"
#include "Journal.h"
#include "Recordset.h"
#include "Schema.h"
#include "pg/PgDatabase.h"
#include "pg/PgStaging.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cstdint>
#include <optional>

namespace velmora::data {

namespace {

// Rows go in by many at a time: one statement per batch, well within the number of values
// a statement may carry on either back end.
constexpr int kValuesPerStatement = 2000;

// The Jet type of a column of the given kind, for a table the program does not make itself.
QString jetTypeOf(const FieldType& t) {
    switch (t.kind) {
        case FieldType::Kind::Text:
            return t.size > 0 ? QStringLiteral("TEXT(%1)").arg(t.size) : QStringLiteral("MEMO");
        case FieldType::Kind::Integer:
            if (t.minValue == 0 && t.maxValue == 255)
                return QStringLiteral("BYTE");
            if (t.minValue >= -32768 && t.maxValue <= 32767)
                return QStringLiteral("SHORT");
            if (t.minValue >= INT32_MIN && t.maxValue <= INT32_MAX)
                return QStringLiteral("LONG");
            return QStringLiteral("BIGINT");
        case FieldType::Kind::Real:
            return QStringLiteral("DOUBLE");
        case FieldType::Kind::Currency:
            return QStringLiteral("CURRENCY");
        case FieldType::Kind::YesNo:
            return QStringLiteral("YESNO");
        case FieldType::Kind::Date:
            return QStringLiteral("DATETIME");
        case FieldType::Kind::Variant:
            break;
    }
    return QStringLiteral("MEMO");
}

// The journal's columns for a SELECT in Column order; a journal from before entries were
// told apart reads Null as its Entry.
QString journalColumnsOf(Database& db) {
    auto probe = db.openRecordset(QStringLiteral("SELECT * FROM Journal WHERE 1 = 0"));
    QStringList columns = journal::columnNames();
    if (probe->fieldIndex(columns[journal::Entry]) < 0)
        columns[journal::Entry] = QStringLiteral("NULL AS Entry");
    return columns.join(QStringLiteral(", "));
}

bool isServer(const QString& dataPath) {
    return isServerLocation(dataPath);
}

QString where(const QString& location) {
    return isServer(location) ? location : resolvePathCaseInsensitive(location);
}

// Whether a target already holds data: the file exists, or the server's data set has tables.
bool targetInUse(const QString& location) {
    if (!isServer(location))
        return QFileInfo::exists(where(location));
    try {
        return !Database::open(location)->tableNames().isEmpty();
    } catch (const DbError& e) {
        if (e.number() == err::FileNotFound)
            return false;
        throw;
    }
}

void copyTable(Database& source, Database& target, const QString& table, CopiedFile* report) {
    auto rows = source.openRecordset(table);
    QStringList columns;
    for (int i = 0; i < rows->fieldCount(); ++i)
        columns << rows->field(i).name;
    // Columns the target lacks (a file from another version) are added with their kind.
    if (!target.hasTable(table)) {
        QStringList defs;
        for (int i = 0; i < rows->fieldCount(); ++i)
            defs << quoteJetName(columns[i]) + u' ' + jetTypeOf(rows->field(i).type);
        target.execute(QStringLiteral("CREATE TABLE %1 (%2)")
                           .arg(quoteJetName(table), defs.join(QStringLiteral(", "))));
    } else {
        auto existing = target.openRecordset(
            QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(quoteJetName(table)));
        for (int i = 0; i < rows->fieldCount(); ++i) {
            if (existing->fieldIndex(columns[i]) < 0)
                target.execute(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                   .arg(quoteJetName(table), quoteJetName(columns[i]),
                                        jetTypeOf(rows->field(i).type)));
        }
    }
    std::int64_t copied = 0;
    if (!columns.isEmpty() && rows->recordCount() > 0) {
        // Each row keeps its row id: the journal names rows by it.
        QStringList names = {QLatin1String(kPgRowIdColumn)};
        for (const QString& c : columns)
            names << quoteJetName(c);
        const QString head = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                                 .arg(quoteJetName(table), names.join(u','));
        const int perStatement = std::max(1, kValuesPerStatement / int(columns.size() + 1));
        const auto& all = rows->rows();
        for (size_t from = 0; from < all.size(); from += size_t(perStatement)) {
            const size_t to = std::min(all.size(), from + size_t(perStatement));
            QStringList tuples;
            std::vector<Value> values;
            values.reserve((to - from) * size_t(columns.size()));
            for (size_t r = from; r < to; ++r) {
                values.emplace_back(all[r].rowid);
                QStringList marks = {QStringLiteral("?%1").arg(values.size())};
                for (const Value& v : all[r].values) {
                    values.push_back(v);
                    marks << QStringLiteral("?%1").arg(values.size());
                }
                tuples << u'(' + marks.join(u',') + u')';
            }
            target.executeBound(head + tuples.join(u','), values);
            copied += std::int64_t(to - from);
        }
        pg::continueRowIds(target, table);
    }
    report->rows.emplace_back(table, copied);
}

// The journal's lines, every column as it is, in their order: the chain goes on unbroken
// in the target.
std::int64_t carryJournal(Database& source, Database& target) {
    std::vector<std::vector<Value>> lines;
    source.forEachRow(
        QStringLiteral("SELECT %1 FROM Journal ORDER BY Seq").arg(journalColumnsOf(source)), {},
        [&](const std::vector<Value>& r) { lines.push_back(r); });
    journal::carryLines(target, lines);
    return static_cast<std::int64_t>(lines.size());
}

// Copies one data file of a data path to the location `to`.
CopiedFile copyFile(const QString& fromPath, const QString& to, const QString& file,
                    schema::DataFile kind) {
    const QString from = where(dataFileName(fromPath, file));
    CopiedFile report;
    report.file = file;
    auto source = Database::open(from);
    const bool journalled = source->hasTable(journal::kTable);
    std::optional<journal::CarryingJournal> carrying;
    if (journalled)
        carrying.emplace();
    schema::createDataFile(to, kind, [&](Database& target) {
        // The entry journal goes with the data set, its lines as they are, and the rows
        // copied write none of their own: the lines already tell them. A data set without a
        // journal gets one in the target, begun with the rows copied into it.
        struct ServerCarry {
            Database& db;
            bool on;
            ~ServerCarry() {
                if (on) {
                    try {
                        pg::carryJournal(db, false);
                    } catch (const DbError&) {
                    }
                }
            }
        } serverCarry{target, journalled && isServer(to)};
        if (serverCarry.on)
            pg::carryJournal(target, true);
        for (const QString& table : source->tableNames())
            if (table.compare(journal::kTable, Qt::CaseInsensitive) != 0)
                copyTable(*source, target, table, &report);
        if (journalled)
            report.journalLines = carryJournal(*source, target);
        const QStringList existing = target.queryDefNames();
        for (const QString& q : source->queryDefNames()) {
            if (existing.contains(q, Qt::CaseInsensitive))
                continue;
            target.createQueryDef(q, source->queryDefSql(q));
            ++report.queries;
        }
    });
    return report;
}

using FileKinds = std::vector<std::pair<QString, schema::DataFile>>;

// Into a folder: each file is made whole or not at all; the file made before a failure goes.
std::vector<CopiedFile> copyIntoFolder(const QString& from, const QString& to,
                                       const FileKinds& files) {
    std::vector<CopiedFile> out;
    try {
        for (const auto& [file, kind] : files)
            out.push_back(copyFile(from, dataFileName(to, file), file, kind));
    } catch (...) {
        for (const CopiedFile& done : out)
            QFile::remove(where(dataFileName(to, done.file)));
        throw;
    }
    return out;
}

// Onto a server: the data sets are copied in under names of their own and take their places
// together at the end, in one transaction. A failure, the server's too, leaves no data set
// and, once the copy is cleared away (at once, or by the next copy when the server could
// not be reached), nothing else.
std::vector<CopiedFile> copyOntoServer(const QString& from, const QString& to,
                                       const FileKinds& files) {
    pg::Staging staging(to);
    std::vector<CopiedFile> out;
    try {
        QStringList names;
        for (const auto& [file, kind] : files) {
            out.push_back(copyFile(from, staging.location(file), file, kind));
            names << file;
        }
        staging.publish(names);
    } catch (const DbError& e) {
        staging.abandon();
        throw DbError(e.number(), pg::Staging::ownNames(e.text()));
    } catch (...) {
        staging.abandon();
        throw;
    }
    return out;
}

}  // namespace

std::vector<CopiedFile> migrateDataSet(const QString& fromDataPath, const QString& toDataPath) {
    const FileKinds files = {{files::kMain, schema::DataFile::Main},
                             {files::kTemplates, schema::DataFile::Templates}};
    for (const auto& [file, kind] : files) {
        const QString from = dataFileName(fromDataPath, file);
        if (!isServer(fromDataPath) && !QFileInfo::exists(where(from)))
            throw DbError(
                err::FileNotFound,
                QStringLiteral("There is no %1 to copy: %2 is not there.").arg(file, from));
        const QString to = dataFileName(toDataPath, file);
        if (targetInUse(to))
            throw DbError(err::ObjectExists,
                          QStringLiteral("%1 holds data already; the data set is copied only to "
                                         "an empty place.")
                              .arg(isServerLocation(to) ? to : where(to)));
    }
    // A data set is copied whole or not at all.
    if (isServer(toDataPath))
        return copyOntoServer(fromDataPath, toDataPath, files);
    return copyIntoFolder(fromDataPath, toDataPath, files);
}

QString migrationReport(const std::vector<CopiedFile>& copied) {
    QString out;
    std::int64_t total = 0;
    for (const CopiedFile& f : copied) {
        for (const auto& [table, rows] : f.rows) {
            out += QStringLiteral("%1 %2: %3 rows\n").arg(f.file, table).arg(rows);
            total += rows;
        }
        if (f.journalLines >= 0)
            out += QStringLiteral("%1 Journal: %2 lines carried\n").arg(f.file).arg(f.journalLines);
        out += QStringLiteral("%1: %2 stored queries\n").arg(f.file).arg(f.queries);
    }
    out += QStringLiteral("%1 rows copied in all\n").arg(total);
    return out;
}

}  // namespace velmora::data
