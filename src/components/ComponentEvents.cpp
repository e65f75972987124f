#include "ComponentEvents.h"

#include "ComponentRead.h"
#include "ComponentSchema.h"
#include "data/Database.h"
#include "data/JetDates.h"
#include "data/JetSqlTranslator.h"
#include "data/Journal.h"
#include "data/Recordset.h"
#include "data/ValueNumber.h"

#include <QHash>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>

namespace velmora::components {

namespace {

using data::Value;

const QString kBaselineReason = QStringLiteral("installed before the history was kept");

const QStringList& eventColumns() {
    static const QStringList c = {QStringLiteral("EventId"),      QStringLiteral("PartNumber"),
                                  QStringLiteral("SerialNumber"), QStringLiteral("EventKind"),
                                  QStringLiteral("EventDate"),    QStringLiteral("RegNum"),
                                  QStringLiteral("ItemNumber"),   QStringLiteral("TotalTime"),
                                  QStringLiteral("TotalTime2"),   QStringLiteral("TotalLandings"),
                                  QStringLiteral("TotalCycles"),  QStringLiteral("TotalRIN"),
                                  QStringLiteral("Reason"),       QStringLiteral("Location"),
                                  QStringLiteral("Reference"),    QStringLiteral("EnteredBy"),
                                  QStringLiteral("EnteredAt")};
    return c;
}

const QStringList& limitColumns() {
    static const QStringList c = {QStringLiteral("EventId"),     QStringLiteral("LifeBasis"),
                                  QStringLiteral("MeterNumber"), QStringLiteral("LifeNumber"),
                                  QStringLiteral("UsedBefore"),  QStringLiteral("UsedAfter"),
                                  QStringLiteral("Remaining")};
    return c;
}

QString insertSql(const QString& table, const QStringList& columns) {
    QStringList markers;
    for (qsizetype i = 1; i <= columns.size(); ++i)
        markers << QStringLiteral("?%1").arg(i);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(data::quoteJetName(table), bracketed(columns), markers.join(u','));
}

Value text(const QString& s) {
    return s.trimmed().isEmpty() ? Value() : Value(s.trimmed());
}
Value number(const std::optional<double>& d) {
    return d ? Value(*d) : Value();
}
QString textIn(const Value& v) {
    return v.isNull() ? QString() : v.toString();
}
QDate dateIn(const Value& v) {
    if (v.isNull())
        return {};
    const auto dt = data::parseJetDateTime(v.toString());
    return dt ? dt->date() : QDate();
}

std::int64_t nextEventId(data::Database& db) {
    auto rs = db.openRecordset(QStringLiteral("select Max([EventId]) from [ComponentEvents]"));
    const Value v = rs->rows().empty() ? Value() : rs->rows().front().values[0];
    return (v.isNull() ? 0 : v.toInt()) + 1;
}

bool hasEvents(data::Database& db, const ComponentKey& key) {
    auto rs = db.openRecordset(
        QStringLiteral("select Count(*) from [ComponentEvents] where [PartNumber]=?1 and "
                       "[SerialNumber]=?2"),
        {Value(key.partNumber.trimmed()), Value(key.serialNumber.trimmed())});
    return !rs->rows().empty() && rs->rows().front().values[0].toInt() > 0;
}

}  // namespace

QString currentUser() {
    static const QString user = [] {
        if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
            return QString::fromLocal8Bit(pw->pw_name);
        const QString env = qEnvironmentVariable("USER");
        return env.isEmpty() ? QStringLiteral("uid %1").arg(geteuid()) : env;
    }();
    return user;
}

void writeEvent(data::Database& db, ComponentEvent* e, std::int64_t id) {
    e->id = id != 0 ? id : nextEventId(db);
    e->enteredBy = currentUser();
    e->enteredAt = data::journal::now();
    db.execute(
        insertSql(schema::kEvents, eventColumns()),
        {Value(e->id), text(e->key.partNumber), text(e->key.serialNumber), Value(e->kind),
         e->date.isValid() ? Value(e->date) : Value(), text(e->regNum),
         e->itemNumber ? Value(*e->itemNumber) : Value(), number(e->totals.time),
         number(e->totals.time2), number(e->totals.landings), number(e->totals.cycles),
         number(e->totals.rin), text(e->reason), text(e->location), text(e->reference),
         Value(e->enteredBy), Value(e->enteredAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))});
    const QString limitSql = insertSql(schema::kEventLimits, limitColumns());
    for (const EventLimit& l : e->limits) {
        db.execute(limitSql, {Value(e->id), text(l.basis), number(l.meter), number(l.life),
                              number(l.usedBefore), number(l.usedAfter), number(l.remaining)});
    }
}

ComponentEvent baselineOf(const ComponentKey& key, const std::vector<Limit>& limits) {
    ComponentEvent e;
    e.key = key;
    e.kind = kInstalled;
    e.reason = kBaselineReason;
    for (const Limit& l : limits) {
        if (e.regNum.isEmpty())
            e.regNum = l.row[RegNum].isNull() ? QString() : l.row[RegNum].toString();
        if (!e.itemNumber && !l.row[ItemNumber].isNull())
            e.itemNumber = l.row[ItemNumber].toInt();
        const QDate d = l.installDate();
        // The latest installation date of its limits: a months limit may count from an
        // earlier one.
        if (d.isValid() && (!e.date.isValid() || d > e.date))
            e.date = d;
        EventLimit el;
        el.basis = l.basisCode();
        el.meter = l.meter();
        el.life = l.life();
        el.usedAfter = l.usedAtInstall();
        if (el.life && el.usedAfter && l.basis() && *l.basis() != due::Basis::MO)
            el.remaining = *el.life - *el.usedAfter;
        e.limits.push_back(el);
    }
    return e;
}

void writeAllBaselines(data::Database& db) {
    auto rs = db.openRecordset(QStringLiteral("select ") + bracketed(partColumns()) +
                               QStringLiteral(" from [Parts] order by [RegNum],[ItemNumber]"));
    QHash<QString, size_t> at;
    std::vector<std::pair<ComponentKey, std::vector<Limit>>> units;
    for (const auto& row : rs->rows()) {
        const ComponentKey key{textIn(row.values[PartNumber]), textIn(row.values[SerialNumber])};
        if (key.isBlank())
            continue;
        const QString group = key.groupKey();
        auto it = at.constFind(group);
        if (it == at.constEnd()) {
            units.push_back({key, {}});
            it = at.insert(group, units.size() - 1);
        }
        units[*it].second.push_back(Limit{row.values});
    }
    std::int64_t id = units.empty() ? 0 : nextEventId(db);
    for (const auto& [key, limits] : units) {
        ComponentEvent e = baselineOf(key, limits);
        writeEvent(db, &e, id++);
    }
}

void writeBaselineIfNone(data::Database& db, const ComponentKey& key) {
    if (hasEvents(db, key))
        return;
    const std::vector<Limit> limits = installedLimits(db, key);
    if (limits.empty())
        return;
    ComponentEvent e = baselineOf(key, limits);
    writeEvent(db, &e);
}

std::vector<ComponentEvent> readHistory(data::Database& db, const ComponentKey& key) {
    std::vector<ComponentEvent> out;
    const std::vector<Value> k{Value(key.partNumber.trimmed()), Value(key.serialNumber.trimmed())};
    if (schema::hasHistory(db)) {
        auto rs = db.openRecordset(QStringLiteral("select ") + bracketed(eventColumns()) +
                                       QStringLiteral(" from [ComponentEvents] where "
                                                      "[PartNumber]=?1 and [SerialNumber]=?2 "
                                                      "order by [EventId]"),
                                   k);
        QHash<std::int64_t, size_t> at;
        for (const auto& row : rs->rows()) {
            const auto& v = row.values;
            ComponentEvent e;
            e.id = v[0].toInt();
            e.key = {textIn(v[1]), textIn(v[2])};
            e.kind = textIn(v[3]);
            e.date = dateIn(v[4]);
            e.regNum = textIn(v[5]);
            if (!v[6].isNull())
                e.itemNumber = v[6].toInt();
            e.totals = {data::numberIn(v[7]), data::numberIn(v[8]), data::numberIn(v[9]),
                        data::numberIn(v[10]), data::numberIn(v[11])};
            e.reason = textIn(v[12]);
            e.location = textIn(v[13]);
            e.reference = textIn(v[14]);
            e.enteredBy = textIn(v[15]);
            if (const auto t = data::parseJetDateTime(textIn(v[16])))
                e.enteredAt = *t;
            at.insert(e.id, out.size());
            out.push_back(std::move(e));
        }
        if (!out.empty()) {
            // The limits of the component's events, read in one go.
            auto lr = db.openRecordset(
                QStringLiteral("select ") + bracketed(limitColumns()) +
                    QStringLiteral(" from [ComponentEventLimits] where [EventId] in (select "
                                   "[EventId] from [ComponentEvents] where [PartNumber]=?1 and "
                                   "[SerialNumber]=?2)"),
                k);
            for (const auto& row : lr->rows()) {
                const auto& v = row.values;
                const auto it = at.constFind(v[0].toInt());
                if (it == at.constEnd())
                    continue;
                out[*it].limits.push_back({textIn(v[1]), data::numberIn(v[2]), data::numberIn(v[3]),
                                           data::numberIn(v[4]), data::numberIn(v[5]),
                                           data::numberIn(v[6])});
            }
        }
    }
    if (out.empty()) {
        const std::vector<Limit> limits = installedLimits(db, key);
        if (!limits.empty())
            out.push_back(baselineOf(key, limits));
    }
    return out;
}

}  // namespace velmora::components
