#include "JournalLines.h"

#include "data/Database.h"
#include "data/JetSqlTranslator.h"
#include "data/Journal.h"
#include "data/Recordset.h"

#include <QStringList>

namespace velmora::journal {

namespace dj = data::journal;

bool hasJournal(data::Database& mainDb) {
    return mainDb.hasTable(dj::kTable);
}

QStringList columnsOf(data::Database& db, const QString& table, std::vector<bool>* numeric) {
    QStringList out;
    if (numeric)
        numeric->clear();
    if (db.runsSqliteText()) {
        // SQLite's own word: the engine's description of a table may predate a column the
        // journal's hook has just added to it.
        db.forEachRow(QStringLiteral("PRAGMA table_info(%1)").arg(data::quoteSqliteName(table)), {},
                      [&](const std::vector<data::Value>& r) {
                          out << r[1].toString();
                          if (numeric)
                              numeric->push_back(
                                  data::FieldType::fromDeclared(r[2].toString()).holdsNumbers());
                      });
        return out;
    }
    auto probe = db.openRecordset(
        QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(data::quoteJetName(table)));
    for (int i = 0; i < probe->fieldCount(); ++i) {
        out << probe->field(i).name;
        if (numeric)
            numeric->push_back(probe->field(i).type.holdsNumbers());
    }
    return out;
}

QString lineColumns(data::Database& mainDb) {
    QStringList columns = dj::columnNames();
    if (!columnsOf(mainDb, dj::kTable).contains(columns[dj::Entry], Qt::CaseInsensitive))
        columns[dj::Entry] = QStringLiteral("NULL AS Entry");
    return columns.join(QStringLiteral(", "));
}

JournalLine lineFromRow(const std::vector<data::Value>& r) {
    JournalLine l;
    l.seq = r[dj::Seq].toInt();
    l.changedAt = QDateTime::fromString(r[dj::ChangedAt].toString(), dj::kTimeFormat);
    l.changedAt.setTimeSpec(Qt::UTC);
    l.userName = r[dj::UserName].toString();
    l.hostName = r[dj::HostName].toString();
    l.program = r[dj::Program].toString();
    l.screen = r[dj::Screen].toString();
    l.tableName = r[dj::TableName].toString();
    l.regNum = r[dj::RegNum].toString();
    l.itemNumber = r[dj::ItemNumber].toString();
    l.rowKey = r[dj::RowKey].toInt();
    l.columnName = r[dj::ColumnName].toString();
    l.oldValue = r[dj::OldValue];
    l.newValue = r[dj::NewValue];
    l.hash = r[dj::Hash].toString();
    l.entry = r[dj::Entry].isNull() ? 0 : r[dj::Entry].toInt();
    return l;
}

QString valueText(data::Database& db, const QString& column) {
    const QString name = data::quoteSqliteName(column);
    // As the journal records a value: SQLite's own conversion to text on the files, the
    // engine's function on a server.
    if (db.runsSqliteText())
        return QStringLiteral("CAST(%1 AS TEXT)").arg(name);
    return QStringLiteral("velmora_jet.journal_text(%1)").arg(name);
}

std::vector<JournalLine> readLines(data::Database& mainDb, const LineFilter& filter) {
    std::vector<JournalLine> out;
    if (!hasJournal(mainDb))
        return out;
    QStringList where;
    std::vector<data::Value> args;
    auto add = [&](const QString& condition, const data::Value& v) {
        args.push_back(v);
        where << condition.arg(args.size());
    };
    if (!filter.regNum.isEmpty())
        add(QStringLiteral("RegNum = ?%1"), data::Value(filter.regNum.trimmed()));
    if (filter.since.isValid())
        add(QStringLiteral("ChangedAt >= ?%1"),
            data::Value(filter.since.toString(QStringLiteral("yyyy-MM-dd"))));
    if (filter.until.isValid())
        add(QStringLiteral("ChangedAt < ?%1"),
            data::Value(filter.until.addDays(1).toString(QStringLiteral("yyyy-MM-dd"))));
    if (!filter.columnName.isEmpty())
        add(QStringLiteral("ColumnName = ?%1"), data::Value(filter.columnName));
    const QString sql =
        QStringLiteral("SELECT %1 FROM Journal%2 ORDER BY Seq%3")
            .arg(lineColumns(mainDb),
                 where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(" AND "),
                 filter.newestFirst ? QStringLiteral(" DESC") : QString());
    mainDb.forEachRow(sql, args,
                      [&](const std::vector<data::Value>& r) { out.push_back(lineFromRow(r)); });
    return out;
}

bool isMeterOrTotalColumn(const QString& column) {
    static const QStringList columns = {
        QStringLiteral("CurrentMeter1"), QStringLiteral("CurrentMeter2"),
        QStringLiteral("LastMeter1"),    QStringLiteral("LastMeter2"),
        QStringLiteral("TotalTime"),     QStringLiteral("TotalTime2"),
        QStringLiteral("TotalLandings"), QStringLiteral("TotalCycles"),
        QStringLiteral("TotalRIN")};
    return columns.contains(column, Qt::CaseInsensitive);
}

}  // namespace velmora::journal
