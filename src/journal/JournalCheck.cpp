#include "JournalCheck.h"

#include "data/Database.h"
#include "data/Journal.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <optional>

namespace velmora::journal {

namespace dj = data::journal;

namespace {

// A row's columns (names case-folded) to their values as text; absent is Null.
using RowState = QHash<QString, QString>;
// A table's rows by row id.
using TableState = QHash<std::int64_t, RowState>;

const QStringList& checkedTables() {
    static const QStringList t = {QStringLiteral("Aircraft"), QStringLiteral("Parts")};
    return t;
}

std::optional<QString> textOf(const data::Value& v) {
    if (v.isNull())
        return std::nullopt;
    return v.toString();
}

RowState rowFromJson(const data::Value& v) {
    RowState row;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(v.utf8())).object();
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (!it.value().isNull())
            row.insert(it.key().toCaseFolded(), it.value().toString());
    }
    return row;
}

QString rowName(const QString& table, const QStringList& key) {
    QString name = QStringLiteral("%1 row of %2").arg(table, key.value(0));
    if (key.size() > 1 && !key[1].isEmpty())
        name += QStringLiteral(" item %1").arg(key[1]);
    return name;
}

QString shownValue(const std::optional<QString>& v) {
    return v ? QStringLiteral("\"%1\"").arg(*v) : QStringLiteral("Null");
}

}  // namespace

CheckResult checkJournal(data::Database& mainDb) {
    CheckResult out;
    if (!mainDb.hasTable(dj::kTable)) {
        out.problem = QStringLiteral("The file has no entry journal.");
        return out;
    }
    QHash<QString, TableState> state;  // by table name, case-folded
    for (const QString& t : checkedTables())
        state.insert(t.toCaseFolded(), {});

    QByteArray previous;
    std::int64_t expectedSeq = 1;
    std::vector<data::Value> fields(dj::ColumnCount - 1);
    const QString sql = QStringLiteral("SELECT %1 FROM Journal ORDER BY Seq")
                            .arg(dj::columnNames().join(QStringLiteral(", ")));
    mainDb.forEachRow(sql, {}, [&](const std::vector<data::Value>& r) {
        if (!out.problem.isEmpty())
            return;
        ++out.lines;
        const std::int64_t seq = r[dj::Seq].toInt();
        if (seq != expectedSeq) {
            out.atLine = seq;
            out.problem = seq > expectedSeq
                              ? QStringLiteral(
                                    "Journal lines %1 to %2 are missing: they were removed "
                                    "outside Velmora.")
                                    .arg(expectedSeq)
                                    .arg(seq - 1)
                              : QStringLiteral("Journal line %1 is out of order.").arg(seq);
            return;
        }
        ++expectedSeq;
        for (size_t i = 0; i < fields.size(); ++i)
            fields[i] = r[i];
        const QByteArray hash = dj::lineHash(previous, fields);
        const data::Value& stored = r[dj::Hash];
        if (stored.type() != data::Value::Type::Text ||
            QByteArrayView(stored.utf8().data(), static_cast<qsizetype>(stored.utf8().size())) !=
                QByteArrayView(hash)) {
            out.atLine = seq;
            out.problem = QStringLiteral(
                              "Journal line %1 does not match its hash: it, or the "
                              "line before it, was changed or put in outside "
                              "Velmora.")
                              .arg(seq);
            return;
        }
        previous = hash;

        auto table = state.find(r[dj::TableName].toString().toCaseFolded());
        if (table == state.end())
            return;
        const std::int64_t rowKey = r[dj::RowKey].toInt();
        const QString column = r[dj::ColumnName].toString();
        if (column == dj::kRowAdded || column == dj::kRowPresent) {
            table->insert(rowKey, rowFromJson(r[dj::NewValue]));
        } else if (column == dj::kRowRemoved) {
            table->remove(rowKey);
        } else {
            RowState& row = (*table)[rowKey];
            if (const auto v = textOf(r[dj::NewValue]))
                row.insert(column.toCaseFolded(), *v);
            else
                row.remove(column.toCaseFolded());
        }
    });
    if (!out.problem.isEmpty())
        return out;

    // The rows as they are, against the rows as the journal left them.
    for (const QString& tableName : checkedTables()) {
        if (!mainDb.hasTable(tableName))
            continue;
        TableState& expected = state[tableName.toCaseFolded()];
        QStringList columns;
        mainDb.forEachRow(QStringLiteral("PRAGMA table_info(\"%1\")").arg(tableName), {},
                          [&](const std::vector<data::Value>& r) { columns << r[1].toString(); });
        QStringList reads;
        for (const QString& c : columns)
            reads << QStringLiteral("CAST(\"%1\" AS TEXT)").arg(QString(c).replace(u'"', "\"\""));
        const int reg = static_cast<int>(columns.indexOf(QStringLiteral("RegNum")));
        const int item = static_cast<int>(columns.indexOf(QStringLiteral("ItemNumber")));
        mainDb.forEachRow(
            QStringLiteral("SELECT rowid, %1 FROM \"%2\" ORDER BY rowid")
                .arg(reads.join(u','), tableName),
            {}, [&](const std::vector<data::Value>& r) {
                if (!out.problem.isEmpty())
                    return;
                const std::int64_t rowKey = r[0].toInt();
                QStringList key;
                key << (reg >= 0 ? r[static_cast<size_t>(reg) + 1].toString() : QString())
                    << (item >= 0 ? r[static_cast<size_t>(item) + 1].toString() : QString());
                const auto it = expected.constFind(rowKey);
                if (it == expected.constEnd()) {
                    out.problem = QStringLiteral(
                                      "The %1 is not in the journal: it was added "
                                      "outside Velmora.")
                                      .arg(rowName(tableName, key));
                    return;
                }
                for (int i = 0; i < columns.size(); ++i) {
                    const std::optional<QString> actual = textOf(r[static_cast<size_t>(i) + 1]);
                    const auto want = it->constFind(columns[i].toCaseFolded());
                    const std::optional<QString> journalled =
                        want == it->constEnd() ? std::nullopt : std::optional<QString>(*want);
                    if (actual != journalled) {
                        out.problem = QStringLiteral(
                                          "%1 of the %2 is %3, but the journal says "
                                          "%4: it was changed outside Velmora.")
                                          .arg(columns[i], rowName(tableName, key),
                                               shownValue(actual), shownValue(journalled));
                        return;
                    }
                }
                expected.erase(it);
            });
        if (!out.problem.isEmpty())
            return out;
        if (!expected.isEmpty()) {
            const RowState& row = expected.begin().value();
            out.problem = QStringLiteral(
                              "The %1 that the journal records is missing: it was "
                              "removed outside Velmora.")
                              .arg(rowName(tableName, {row.value(QStringLiteral("regnum")),
                                                       row.value(QStringLiteral("itemnumber"))}));
            return out;
        }
    }
    out.intact = true;
    return out;
}

}  // namespace velmora::journal
