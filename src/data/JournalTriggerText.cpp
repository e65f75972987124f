#include "JournalTriggerText.h"

#include "JetSqlTranslator.h"
#include "Journal.h"

namespace velmora::data::journal {

const char kJournalTableSql[] =
    "CREATE TABLE IF NOT EXISTS Journal (Seq INTEGER PRIMARY KEY, ChangedAt DATETIME, "
    "UserName TEXT(255) COLLATE NOCASE, HostName TEXT(255) COLLATE NOCASE, "
    "Program TEXT(255) COLLATE NOCASE, Screen TEXT(255) COLLATE NOCASE, "
    "TableName TEXT(64) COLLATE NOCASE, RegNum TEXT(255) COLLATE NOCASE, "
    "ItemNumber TEXT(64) COLLATE NOCASE, RowKey INTEGER, ColumnName TEXT(255) COLLATE "
    "NOCASE, OldValue LONGTEXT COLLATE NOCASE, NewValue LONGTEXT COLLATE NOCASE, "
    "Hash TEXT(64), Entry INTEGER)";
const char kJournalIndexSql[] = "CREATE INDEX IF NOT EXISTS JournalRegNum ON Journal (RegNum, Seq)";

namespace {

// Trigger bodies take no bound values: the names and markers they write are literals, in
// the form SQLite and Jet share ('...' with quotes doubled).
QString literal(const QString& text) {
    return quoteJetLiteral(text);
}

// A JSON object of a row's columns as text, the row named by prefix ("NEW.", "OLD." or
// none). SQLite takes at most 127 arguments to a function: wide rows are built in parts.
QString rowObject(const QStringList& columns, const QString& prefix) {
    QStringList parts;
    for (qsizetype i = 0; i < columns.size(); i += 50) {
        QStringList args;
        for (qsizetype j = i; j < std::min(columns.size(), i + 50); ++j)
            args << literal(columns[j])
                 << QStringLiteral("CAST(%1%2 AS TEXT)").arg(prefix, quoteSqliteName(columns[j]));
        parts << QStringLiteral("json_object(%1)").arg(args.join(u','));
    }
    QString out = parts.value(0, QStringLiteral("json_object()"));
    for (qsizetype i = 1; i < parts.size(); ++i)
        out = QStringLiteral("json_patch(%1,%2)").arg(out, parts[i]);
    return out;
}

// A key column of a row as text, or NULL when the table has no such column.
QString keyText(const QString& row, const QString& column) {
    if (column.isEmpty())
        return QStringLiteral("NULL");
    const QString prefix = row.isEmpty() ? QString() : row + u'.';
    return QStringLiteral("CAST(%1%2 AS TEXT)").arg(prefix, quoteSqliteName(column));
}

}  // namespace

QString findColumn(const QStringList& columns, const QString& wanted) {
    for (const QString& c : columns) {
        if (c.compare(wanted, Qt::CaseInsensitive) == 0)
            return c;
    }
    return {};
}

QStringList changeTriggers(const QString& table, const QStringList& columns, int n) {
    const QString insertInto =
        QStringLiteral(
            "INSERT INTO %1 (TableName, RegNum, ItemNumber, RowKey, ColumnName, OldValue, "
            "NewValue) ")
            .arg(QLatin1String(kStagedTable));
    const QString reg = findColumn(columns, QStringLiteral("RegNum"));
    const QString item = findColumn(columns, QStringLiteral("ItemNumber"));
    auto key = [&](const QString& row) {
        return QStringLiteral("%1, %2").arg(keyText(row, reg), keyText(row, item));
    };
    const QString name = quoteSqliteName(table);
    const QString t = literal(table);
    QStringList out;
    out << QStringLiteral(
               "CREATE TEMP TRIGGER %1ins_%2 AFTER INSERT ON main.%3 BEGIN %4"
               "VALUES (%5, %6, NEW.rowid, %7, NULL, %8); END")
               .arg(QLatin1String(kTriggerPrefix))
               .arg(n)
               .arg(name, insertInto, t, key(QStringLiteral("NEW")), literal(kRowAdded),
                    rowObject(columns, QStringLiteral("NEW.")));
    out << QStringLiteral(
               "CREATE TEMP TRIGGER %1del_%2 AFTER DELETE ON main.%3 BEGIN %4"
               "VALUES (%5, %6, OLD.rowid, %7, %8, NULL); END")
               .arg(QLatin1String(kTriggerPrefix))
               .arg(n)
               .arg(name, insertInto, t, key(QStringLiteral("OLD")), literal(kRowRemoved),
                    rowObject(columns, QStringLiteral("OLD.")));
    QStringList pairs;
    for (const QString& c : columns)
        pairs << QStringLiteral("(%1, CAST(OLD.%2 AS TEXT), CAST(NEW.%2 AS TEXT))")
                     .arg(literal(c), quoteSqliteName(c));
    out << QStringLiteral(
               "CREATE TEMP TRIGGER %1upd_%2 AFTER UPDATE ON main.%3 BEGIN %4"
               "SELECT %5, %6, NEW.rowid, column1, column2, column3 FROM (VALUES %7) "
               "WHERE column2 IS NOT column3 COLLATE BINARY; END")
               .arg(QLatin1String(kTriggerPrefix))
               .arg(n)
               .arg(name, insertInto, t, key(QStringLiteral("NEW")), pairs.join(u','));
    return out;
}

QStringList guardTriggers() {
    // Lines are only ever added, and only by the seal.
    const QString refuse = QStringLiteral(
        "SELECT RAISE(ABORT, 'The entry journal can only be added to, by "
        "the changes it records.'); END");
    const QString journal = quoteSqliteName(kTable);
    return {QStringLiteral("CREATE TEMP TRIGGER %1guard_upd BEFORE UPDATE ON main.%2 BEGIN %3")
                .arg(QLatin1String(kTriggerPrefix), journal, refuse),
            QStringLiteral("CREATE TEMP TRIGGER %1guard_del BEFORE DELETE ON main.%2 BEGIN %3")
                .arg(QLatin1String(kTriggerPrefix), journal, refuse)};
}

QString baselineStatement(const QString& table, const QStringList& columns) {
    return QStringLiteral(
               "INSERT INTO temp.%1 (TableName, RegNum, ItemNumber, RowKey, "
               "ColumnName, OldValue, NewValue) SELECT ?1, %2, %3, rowid, ?2, NULL, "
               "%4 FROM main.%5 ORDER BY rowid")
        .arg(QLatin1String(kStagedTable),
             keyText(QString(), findColumn(columns, QStringLiteral("RegNum"))),
             keyText(QString(), findColumn(columns, QStringLiteral("ItemNumber"))),
             rowObject(columns, QString()), quoteSqliteName(table));
}

}  // namespace velmora::data::journal
