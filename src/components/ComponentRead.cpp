#include "ComponentRead.h"

#include "ComponentSchema.h"
#include "data/Database.h"
#include "data/JetDates.h"
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"
#include "data/ValueNumber.h"

#include <QHash>

#include <algorithm>

namespace velmora::components {

namespace {

using data::Value;

enum StoreExtra { LifeUsed, RemovedDate, StoredLocation, Reason, Reference, RemovedBy, RemovedAt };

QString textIn(const Value& v) {
    return v.isNull() ? QString() : v.toString();
}

QDate dateIn(const Value& v) {
    if (v.isNull())
        return {};
    const auto dt = data::parseJetDateTime(v.toString());
    return dt ? dt->date() : QDate();
}

}  // namespace

QString bracketed(const QStringList& columns) {
    QStringList out;
    out.reserve(columns.size());
    for (const QString& c : columns)
        out << data::quoteJetName(c);
    return out.join(u',');
}

const QStringList& storeColumns() {
    static const QStringList c = [] {
        QStringList l{QStringLiteral("StoreId")};
        l << partColumns();
        l << QStringLiteral("LifeUsed") << QStringLiteral("RemovedDate")
          << QStringLiteral("Location") << QStringLiteral("Reason") << QStringLiteral("Reference")
          << QStringLiteral("RemovedBy") << QStringLiteral("RemovedAt");
        return l;
    }();
    return c;
}

std::vector<Limit> installedLimits(data::Database& db, const ComponentKey& key,
                                   const std::optional<QString>& regNum) {
    QString sql = QStringLiteral("select ") + bracketed(partColumns()) +
                  QStringLiteral(" from [Parts] where [PartNumber]=?1 and [Serial#]=?2");
    std::vector<Value> values{Value(key.partNumber.trimmed()), Value(key.serialNumber.trimmed())};
    if (regNum) {
        sql += QStringLiteral(" and [RegNum]=?3");
        values.emplace_back(regNum->trimmed());
    }
    sql += QStringLiteral(" order by [RegNum],[ItemNumber],[LifeBasis]");
    auto rs = db.openRecordset(sql, values);
    std::vector<Limit> out;
    out.reserve(rs->rows().size());
    for (const auto& row : rs->rows())
        out.push_back(Limit{row.values});
    return out;
}

std::optional<due::AircraftTotals> aircraftTotals(data::Database& db, const QString& regNum) {
    auto rs = db.openRecordset(
        QStringLiteral("select [TotalTime],[TotalTime2],[TotalLandings],[TotalCycles],[TotalRIN] "
                       "from [Aircraft] where [RegNum]=?1"),
        {Value(regNum.trimmed())});
    if (rs->rows().empty())
        return std::nullopt;
    const auto& v = rs->rows().front().values;
    due::AircraftTotals t;
    t.time = data::numberIn(v[0]);
    t.time2 = data::numberIn(v[1]);
    t.landings = data::numberIn(v[2]);
    t.cycles = data::numberIn(v[3]);
    t.rin = data::numberIn(v[4]);
    return t;
}

namespace {

std::vector<StoredComponent> readStoresWhere(data::Database& db, const QString& where,
                                             const std::vector<Value>& values) {
    std::vector<StoredComponent> out;
    if (!db.hasTable(schema::kStores))
        return out;
    auto rs = db.openRecordset(QStringLiteral("select ") + bracketed(storeColumns()) +
                                   QStringLiteral(" from [ComponentStores]") + where +
                                   QStringLiteral(" order by [StoreId]"),
                               values);
    QHash<QString, size_t> at;
    const size_t extra = 1 + PartColumnCount;
    for (const auto& row : rs->rows()) {
        const auto& v = row.values;
        StoredLimit s;
        s.storeId = v[0].isNull() ? 0 : v[0].toInt();
        s.limit.row.assign(v.begin() + 1, v.begin() + static_cast<std::ptrdiff_t>(extra));
        s.lifeUsed = data::numberIn(v[extra + LifeUsed]);
        const ComponentKey key{textIn(v[1 + PartNumber]), textIn(v[1 + SerialNumber])};
        const QString group = key.groupKey();
        auto it = at.constFind(group);
        if (it == at.constEnd()) {
            StoredComponent c;
            c.key = key;
            c.description = textIn(v[1 + Description]);
            c.removedFrom = textIn(v[1 + RegNum]);
            c.removedDate = dateIn(v[extra + RemovedDate]);
            c.location = locationFrom(textIn(v[extra + StoredLocation]))
                             .value_or(Location::StoresServiceable);
            c.reason = textIn(v[extra + Reason]);
            c.reference = textIn(v[extra + Reference]);
            c.removedBy = textIn(v[extra + RemovedBy]);
            out.push_back(std::move(c));
            it = at.insert(group, out.size() - 1);
        }
        out[*it].limits.push_back(std::move(s));
    }
    std::sort(out.begin(), out.end(), [](const StoredComponent& a, const StoredComponent& b) {
        return a.key.groupKey() < b.key.groupKey();
    });
    return out;
}

}  // namespace

std::vector<StoredComponent> readStores(data::Database& db) {
    return readStoresWhere(db, QString(), {});
}

std::optional<StoredComponent> storedComponent(data::Database& db, const ComponentKey& key) {
    auto found =
        readStoresWhere(db, QStringLiteral(" where [PartNumber]=?1 and [Serial#]=?2"),
                        {Value(key.partNumber.trimmed()), Value(key.serialNumber.trimmed())});
    if (found.empty())
        return std::nullopt;
    return std::move(found.front());
}

}  // namespace velmora::components
