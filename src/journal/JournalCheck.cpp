#include "JournalCheck.h"

#include "JournalChain.h"
#include "JournalLines.h"

#include "data/Database.h"
#include "data/JetSqlTranslator.h"
#include "data/Journal.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cctype>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora::journal {

namespace dj = data::journal;

namespace {

using Text = std::optional<std::string>;

// What the journal says a checked table holds: rows by row id, each its columns' values as
// text (by the table's column order; a column the journal never named is Null).
struct TableState {
    QString name;
    std::string nameUtf8;
    QStringList columns;                         // as the table has them now
    std::vector<bool> numeric;                   // which of them hold numbers
    std::unordered_map<std::string, int> index;  // column name, lower case, to its place
    std::unordered_map<std::int64_t, std::vector<Text>> rows;
    std::unordered_map<std::string, int> spelled;  // the same by each spelling met

    int columnAt(const std::string& column) {
        if (const auto known = spelled.find(column); known != spelled.end())
            return known->second;
        const auto it = index.find(lower(column));
        const int at = it == index.end() ? -1 : it->second;
        spelled.emplace(column, at);
        return at;
    }
    static std::string lower(std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
};

// Tables every main data file has: one that is gone was dropped or renamed outside Velmora.
bool isCoreTable(const QString& name) {
    static const QStringList t = {QStringLiteral("Aircraft"), QStringLiteral("Parts"),
                                  QStringLiteral("Oil")};
    return t.contains(name, Qt::CaseInsensitive);
}

QString missingTable(const QString& name) {
    return QStringLiteral(
               "The table %1 is missing from the file: it was dropped or renamed outside "
               "Velmora.")
        .arg(name);
}

Text textOf(const data::Value& v) {
    if (v.isNull())
        return std::nullopt;
    if (v.type() == data::Value::Type::Text)
        return v.utf8();
    return v.toString().toStdString();
}

std::vector<Text> rowFromJson(TableState& table, const data::Value& v) {
    std::vector<Text> row(static_cast<size_t>(table.columns.size()));
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(v.utf8())).object();
    for (auto it = o.begin(); it != o.end(); ++it) {
        const int at = table.columnAt(it.key().toStdString());
        if (at >= 0 && !it.value().isNull())
            row[static_cast<size_t>(at)] = it.value().toString().toStdString();
    }
    return row;
}

QString rowName(const QString& table, const QString& reg, const QString& item) {
    QString name = QStringLiteral("%1 row of %2").arg(table, reg);
    if (!item.isEmpty())
        name += QStringLiteral(" item %1").arg(item);
    return name;
}

QString shownValue(const Text& v) {
    return v ? QStringLiteral("\"%1\"").arg(QString::fromStdString(*v)) : QStringLiteral("Null");
}

bool sameName(const data::Value& v, const QString& name, const std::string& nameUtf8) {
    if (v.type() != data::Value::Type::Text)
        return false;
    if (v.utf8() == nameUtf8)
        return true;
    return QString::fromUtf8(v.utf8().data(), static_cast<qsizetype>(v.utf8().size()))
               .compare(name, Qt::CaseInsensitive) == 0;
}

// Whether a value read now is the one the journal left. A number may be written two ways
// for one value: a whole currency amount reads "25" on the files (where it is stored as a
// whole number) and "25.0" on a server, and a data set moved from one to the other keeps the
// journal the first one wrote. In a column of numbers, the same number is the same value.
bool sameValue(const Text& now, const Text& journalled, bool numeric) {
    if (now == journalled)
        return true;
    if (!numeric || !now || !journalled)
        return false;
    bool nowOk = false, journalledOk = false;
    const double a = QString::fromStdString(*now).toDouble(&nowOk);
    const double b = QString::fromStdString(*journalled).toDouble(&journalledOk);
    return nowOk && journalledOk && a == b;
}

}  // namespace

CheckResult checkJournal(data::Database& mainDb) {
    CheckResult out;
    if (!mainDb.hasTable(dj::kTable)) {
        out.problem = QStringLiteral("The file has no entry journal.");
        return out;
    }
    // Every journalled table is replayed; one that is gone is a finding when every main
    // data file has it, or (a table added later) when the journal speaks of it.
    std::vector<TableState> tables;
    QStringList gone;
    for (const QString& name : dj::journalledTables()) {
        if (!mainDb.hasTable(name)) {
            if (isCoreTable(name)) {
                out.problem = missingTable(name);
                return out;
            }
            gone << name;
            continue;
        }
        TableState t;
        t.name = name;
        t.nameUtf8 = name.toStdString();
        t.columns = columnsOf(mainDb, name, &t.numeric);
        for (int i = 0; i < t.columns.size(); ++i)
            t.index.emplace(TableState::lower(t.columns[i].toStdString()), i);
        tables.push_back(std::move(t));
    }
    // The table a line is about: the last one found, tried first (lines come in runs).
    TableState* last = nullptr;
    auto tableOf = [&](const data::Value& name) -> TableState* {
        if (last && sameName(name, last->name, last->nameUtf8))
            return last;
        for (TableState& t : tables) {
            if (sameName(name, t.name, t.nameUtf8))
                return last = &t;
        }
        return nullptr;
    };

    ChainWalker chain;
    const std::string added = dj::kRowAdded.toStdString();
    const std::string present = dj::kRowPresent.toStdString();
    const std::string removed = dj::kRowRemoved.toStdString();
    const QString sql =
        QStringLiteral("SELECT %1 FROM Journal ORDER BY Seq").arg(lineColumns(mainDb));
    mainDb.forEachRow(sql, {}, [&](const std::vector<data::Value>& r) {
        if (!out.problem.isEmpty())
            return;
        if (!chain.step(r)) {
            out.atLine = chain.atLine();
            out.problem = chain.problem();
            return;
        }
        const std::int64_t seq = r[dj::Seq].toInt();

        TableState* table = tableOf(r[dj::TableName]);
        if (!table) {
            for (const QString& name : gone) {
                if (sameName(r[dj::TableName], name, name.toStdString())) {
                    out.atLine = seq;
                    out.problem = missingTable(name);
                }
            }
            return;
        }
        const std::int64_t rowKey = r[dj::RowKey].toInt();
        const std::string& column = r[dj::ColumnName].utf8();
        if (column == added || column == present) {
            table->rows[rowKey] = rowFromJson(*table, r[dj::NewValue]);
        } else if (column == removed) {
            table->rows.erase(rowKey);
        } else {
            std::vector<Text>& row = table->rows[rowKey];
            row.resize(static_cast<size_t>(table->columns.size()));
            const int at = table->columnAt(column);
            if (at >= 0)
                row[static_cast<size_t>(at)] = textOf(r[dj::NewValue]);
        }
    });
    out.lines = chain.lines();
    if (!out.problem.isEmpty())
        return out;

    // The rows as they are, against the rows as the journal left them.
    for (TableState& t : tables) {
        QStringList reads;
        for (const QString& c : t.columns)
            reads << valueText(mainDb, c);
        const int reg = t.columnAt("regnum");
        const int item = t.columnAt("itemnumber");
        auto keyOf = [&](const std::vector<Text>& row, int at) {
            return at >= 0 && row[static_cast<size_t>(at)]
                       ? QString::fromStdString(*row[static_cast<size_t>(at)])
                       : QString();
        };
        std::vector<Text> actual(static_cast<size_t>(t.columns.size()));
        mainDb.forEachRow(
            QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                .arg(reads.join(u','), data::quoteSqliteName(t.name)),
            {}, [&](const std::vector<data::Value>& r) {
                if (!out.problem.isEmpty())
                    return;
                for (size_t i = 0; i < actual.size(); ++i)
                    actual[i] = textOf(r[i + 1]);
                const auto it = t.rows.find(r[0].toInt());
                if (it == t.rows.end()) {
                    out.problem =
                        QStringLiteral(
                            "The %1 is not in the journal: it was added "
                            "outside Velmora.")
                            .arg(rowName(t.name, keyOf(actual, reg), keyOf(actual, item)));
                    return;
                }
                it->second.resize(actual.size());
                for (size_t i = 0; i < actual.size(); ++i) {
                    if (!sameValue(actual[i], it->second[i],
                                   i < t.numeric.size() && t.numeric[i])) {
                        out.problem =
                            QStringLiteral(
                                "%1 of the %2 is %3, but the journal says %4: it was "
                                "changed outside Velmora.")
                                .arg(t.columns[static_cast<int>(i)],
                                     rowName(t.name, keyOf(actual, reg), keyOf(actual, item)),
                                     shownValue(actual[i]), shownValue(it->second[i]));
                        return;
                    }
                }
                t.rows.erase(it);
            });
        if (!out.problem.isEmpty())
            return out;
        if (!t.rows.empty()) {
            const std::vector<Text>& row = t.rows.begin()->second;
            out.problem = QStringLiteral(
                              "The %1 that the journal records is missing: it was "
                              "removed outside Velmora.")
                              .arg(rowName(t.name, keyOf(row, reg), keyOf(row, item)));
            return out;
        }
    }
    out.intact = true;
    return out;
}

}  // namespace velmora::journal
