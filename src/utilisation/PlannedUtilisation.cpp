#include "PlannedUtilisation.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "data/TextKey.h"
#include "data/ValueNumber.h"

#include <QSet>

#include <array>
#include <cmath>

namespace velmora::utilisation {

namespace {

using data::Value;

// Columns of the table beside RegNum, with the figure each holds.
struct Column {
    const char* name;
    std::optional<double> DailyUtilisation::*figure;
    const char* meaning;
};

const std::array<Column, 5> kColumns = {{
    {"Meter1PerDay", &DailyUtilisation::meter1Hours, "hours on meter 1"},
    {"Meter2PerDay", &DailyUtilisation::meter2Hours, "hours on meter 2"},
    {"LandingsPerDay", &DailyUtilisation::landings, "landings"},
    {"CyclesPerDay", &DailyUtilisation::cycles, "cycles"},
    {"RINPerDay", &DailyUtilisation::rin, "RIN"},
}};

const QString kCreateTable = QStringLiteral(
    "CREATE TABLE PlannedUtilisation (RegNum TEXT(10), Meter1PerDay DOUBLE, "
    "Meter2PerDay DOUBLE, LandingsPerDay DOUBLE, CyclesPerDay DOUBLE, RINPerDay DOUBLE)");
const QString kCreateIndex =
    QStringLiteral("CREATE INDEX PlannedUtilisationRegNum ON PlannedUtilisation (RegNum)");

void checkFigures(const PlannedEntry& e) {
    for (const Column& c : kColumns) {
        const std::optional<double>& f = e.use.*c.figure;
        if (f && (!std::isfinite(*f) || *f < 0))
            throw data::DbError(
                data::err::TypeMismatch,
                QStringLiteral("The planned %1 a day of %2 must be a number not below zero.")
                    .arg(QLatin1String(c.meaning), e.regNum));
    }
}

}  // namespace

PlannedUtilisation PlannedUtilisation::read(data::Database& mainDb) {
    PlannedUtilisation out;
    if (!mainDb.hasTable(kPlannedUtilisationTable))
        return out;
    auto rs = mainDb.openRecordset(kPlannedUtilisationTable);
    const int reg = rs->fieldIndex(QStringLiteral("RegNum"));
    std::array<int, kColumns.size()> at{};
    for (size_t i = 0; i < kColumns.size(); ++i)
        at[i] = rs->fieldIndex(QString::fromLatin1(kColumns[i].name));
    for (const auto& row : rs->rows()) {
        if (reg < 0 || row.values[static_cast<size_t>(reg)].isNull())
            continue;
        PlannedEntry e;
        e.regNum = row.values[static_cast<size_t>(reg)].toString();
        for (size_t i = 0; i < kColumns.size(); ++i) {
            if (at[i] >= 0)
                e.use.*kColumns[i].figure = data::numberIn(row.values[static_cast<size_t>(at[i])]);
        }
        const QString key = data::textKey(e.regNum);
        if (out.byKey_.contains(key))
            continue;  // the first row of a registration counts
        out.byKey_.insert(key, static_cast<int>(out.entries_.size()));
        out.entries_.push_back(std::move(e));
    }
    return out;
}

DailyUtilisation PlannedUtilisation::dailyUse(const QString& regNum) const {
    const auto it = byKey_.constFind(data::textKey(regNum));
    if (it == byKey_.constEnd())
        return {};
    return entries_[static_cast<size_t>(*it)].use;
}

void savePlannedUtilisation(data::Database& mainDb, const std::vector<PlannedEntry>& entries) {
    for (const PlannedEntry& e : entries)
        checkFigures(e);
    data::Transaction tx(mainDb);
    if (!mainDb.hasTable(kPlannedUtilisationTable)) {
        mainDb.execute(kCreateTable);
        mainDb.execute(kCreateIndex);
    }
    auto rs = mainDb.openRecordset(kPlannedUtilisationTable);
    const int reg = rs->fieldIndex(QStringLiteral("RegNum"));
    // The row that counts for each registration (its first), and the rows after it that a
    // save of that registration leaves no reason to keep.
    QSet<QString> saved;
    for (const PlannedEntry& e : entries)
        saved.insert(data::textKey(e.regNum));
    QHash<QString, int> rowOf;
    std::vector<int> extra;
    for (int i = 0; i < rs->recordCount(); ++i) {
        const Value v = rs->rows()[static_cast<size_t>(i)].values[static_cast<size_t>(reg)];
        if (v.isNull())
            continue;
        const QString key = data::textKey(v.toString());
        if (!rowOf.contains(key))
            rowOf.insert(key, i);
        else if (saved.contains(key))
            extra.push_back(i);
    }
    // A row that is kept is changed in the figures that differ only, so that the journal
    // records what changed; a registration without a row gets one.
    for (const PlannedEntry& e : entries) {
        const auto it = rowOf.constFind(data::textKey(e.regNum));
        if (it == rowOf.constEnd()) {
            rs->addNew();
            rs->setValue(reg, Value(e.regNum));
            for (const Column& c : kColumns) {
                const std::optional<double>& f = e.use.*c.figure;
                rs->setValue(QString::fromLatin1(c.name), f ? Value(*f) : Value());
            }
            rs->update();
            rowOf.insert(data::textKey(e.regNum), rs->recordCount() - 1);
            continue;
        }
        rs->setAbsolutePosition(*it);
        bool editing = false;
        for (const Column& c : kColumns) {
            const QString name = QString::fromLatin1(c.name);
            const std::optional<double>& f = e.use.*c.figure;
            if (data::numberIn(rs->value(name)) == f)
                continue;
            if (!editing)
                rs->edit();
            editing = true;
            rs->setValue(name, f ? Value(*f) : Value());
        }
        if (editing)
            rs->update();
    }
    for (auto it = extra.rbegin(); it != extra.rend(); ++it) {
        rs->setAbsolutePosition(*it);
        rs->deleteCurrent();
    }
    tx.commit();
}

}  // namespace velmora::utilisation
