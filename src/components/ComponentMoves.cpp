#include "ComponentMoves.h"

#include "ComponentEvents.h"
#include "ComponentRead.h"
#include "ComponentSchema.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "data/JetSqlTranslator.h"
#include "data/Journal.h"
#include "data/Recordset.h"
#include "data/TextKey.h"

#include <QLocale>

namespace velmora::components {

namespace {

using data::Value;
namespace err = data::err;

[[noreturn]] void refuse(const QString& what, const QString& why,
                         data::ErrorNumber number = err::ValidationRule) {
    throw data::DbError(number, what + QStringLiteral(": ") + why);
}

QString dateText(const QDate& d) {
    return d.isValid() ? d.toString(Qt::ISODate) : QStringLiteral("(no date)");
}

QString figure(double d) {
    return QLocale::c().toString(d, 'g', 12);
}

Value number(const std::optional<double>& d) {
    return d ? Value(*d) : Value();
}

QString textOf(const Value& v) {
    return v.isNull() ? QString() : v.toString();
}

// The problems of what every event is given: a component and a date not in the future.
void checkCommon(const QString& what, const ComponentKey& key, const QDate& date,
                 const QDate& today, const QString& dateName) {
    if (key.isBlank())
        refuse(what, QStringLiteral("its part number and serial number must both be given."));
    if (!date.isValid())
        refuse(what, QStringLiteral("the date of %1 must be given.").arg(dateName));
    if (today.isValid() && date > today)
        refuse(what, QStringLiteral("the date of %1 (%2) lies in the future.")
                         .arg(dateName, dateText(date)));
}

QString whereIs(data::Database& db, const ComponentKey& key) {
    const std::vector<Limit> on = installedLimits(db, key);
    if (!on.empty())
        return QStringLiteral("it is installed on %1.").arg(textOf(on.front().row[RegNum]));
    if (const auto s = storedComponent(db, key)) {
        if (s->location == Location::Scrapped)
            return QStringLiteral("it was scrapped (removed from %1 on %2).")
                .arg(s->removedFrom, dateText(s->removedDate));
        return QStringLiteral("it is already in %1 (removed from %2 on %3).")
            .arg(locationText(s->location), s->removedFrom, dateText(s->removedDate));
    }
    return QStringLiteral("it is neither on an aircraft nor in stores.");
}

EventLimit eventLimit(const Limit& l, std::optional<double> before, std::optional<double> after,
                      const StoredLimit* stored = nullptr) {
    EventLimit e;
    e.basis = l.basisCode();
    e.meter = l.meter();
    e.life = l.life();
    e.usedBefore = before;
    e.usedAfter = after;
    if (stored)
        e.remaining = stored->remaining();
    else if (e.life && after && l.basis() && *l.basis() != due::Basis::MO)
        e.remaining = *e.life - *after;
    return e;
}

// Adds the history's tables to a file that lacks them, with the baseline of every component
// then on an aircraft; else the baseline of this component when it has none yet.
void prepareHistory(data::Database& db, const ComponentKey& key) {
    if (schema::addMissingTables(db))
        writeAllBaselines(db);
    else
        writeBaselineIfNone(db, key);
}

std::int64_t nextStoreId(data::Database& db) {
    auto rs = db.openRecordset(QStringLiteral("select Max([StoreId]) from [ComponentStores]"));
    const Value v = rs->rows().empty() ? Value() : rs->rows().front().values[0];
    return (v.isNull() ? 0 : v.toInt()) + 1;
}

QString insertSql(const QString& table, const QStringList& columns) {
    QStringList markers;
    for (qsizetype i = 1; i <= columns.size(); ++i)
        markers << QStringLiteral("?%1").arg(i);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(data::quoteJetName(table), bracketed(columns), markers.join(u','));
}

QString stamp() {
    return data::journal::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

ComponentEvent removeComponent(data::Database& db, const Removal& r, const QDate& today) {
    const QString what = QStringLiteral("The component cannot be removed");
    checkCommon(what, r.key, r.date, today, QStringLiteral("removal"));
    if (r.regNum.trimmed().isEmpty())
        refuse(what, QStringLiteral("the aircraft it comes off must be given."));
    if (r.reason.trimmed().isEmpty())
        refuse(what, QStringLiteral("the reason for the removal must be given."));
    data::Transaction tx(db);
    const std::vector<Limit> limits = installedLimits(db, r.key, r.regNum);
    if (limits.empty()) {
        refuse(what,
               QStringLiteral("%1 is not on aircraft %2; ").arg(r.key.label(), r.regNum.trimmed()) +
                   whereIs(db, r.key),
               err::ItemNotFound);
    }
    const auto totals = aircraftTotals(db, r.regNum);
    if (!totals)
        refuse(what, QStringLiteral("the aircraft %1 is not on file.").arg(r.regNum.trimmed()),
               err::ItemNotFound);
    QDate installed;
    for (const Limit& l : limits) {
        const auto b = l.basis();
        // A months limit may count from an earlier installation; the others date this one.
        if (b && *b == due::Basis::MO)
            continue;
        const QDate d = l.installDate();
        if (d.isValid() && (!installed.isValid() || d > installed))
            installed = d;
    }
    if (installed.isValid() && r.date < installed)
        refuse(what, QStringLiteral("the date of removal (%1) precedes its installation on %2.")
                         .arg(dateText(r.date), dateText(installed)));
    if (storedComponent(db, r.key))
        refuse(what, QStringLiteral("%1 is also in stores; ").arg(r.key.label()) +
                         QStringLiteral("remove its rows from one place first."));
    prepareHistory(db, r.key);

    const ComponentKey key{textOf(limits.front().row[PartNumber]),
                           textOf(limits.front().row[SerialNumber])};
    ComponentEvent e;
    e.key = key;
    e.kind = kRemoved;
    e.date = r.date;
    e.regNum = textOf(limits.front().row[RegNum]);
    if (!limits.front().row[ItemNumber].isNull())
        e.itemNumber = limits.front().row[ItemNumber].toInt();
    e.totals = *totals;
    e.reason = r.reason.trimmed();
    e.location = locationText(r.location);
    e.reference = r.reference.trimmed();

    const QString insert = insertSql(schema::kStores, storeColumns());
    std::int64_t id = nextStoreId(db);
    const QString removedAt = stamp();
    for (const Limit& l : limits) {
        const std::optional<double> used = lifeUsedNow(l, *totals, r.date);
        e.limits.push_back(eventLimit(l, used, used));
        std::vector<Value> values;
        values.reserve(static_cast<size_t>(storeColumns().size()));
        values.emplace_back(id++);
        values.insert(values.end(), l.row.begin(), l.row.end());
        values.push_back(number(used));
        values.emplace_back(r.date);
        values.emplace_back(locationText(r.location));
        values.emplace_back(e.reason);
        values.push_back(e.reference.isEmpty() ? Value() : Value(e.reference));
        values.emplace_back(currentUser());
        values.emplace_back(removedAt);
        db.execute(insert, values);
    }
    db.execute(QStringLiteral("DELETE FROM [Parts] WHERE [RegNum]=?1 AND [PartNumber]=?2 AND "
                              "[Serial#]=?3"),
               {Value(r.regNum.trimmed()), Value(r.key.partNumber.trimmed()),
                Value(r.key.serialNumber.trimmed())});
    writeEvent(db, &e);
    tx.commit();
    return e;
}

QStringList reachedLimits(const StoredComponent& c, const QDate& day) {
    QStringList out;
    for (const StoredLimit& s : c.limits) {
        const auto b = s.limit.basis();
        if (!b)
            continue;
        if (*b == due::Basis::MO) {
            const QDate retire = s.retireDate();
            if (retire.isValid() && retire <= day)
                out << QStringLiteral("%1: retired on %2")
                           .arg(s.limit.describe(), dateText(retire));
            continue;
        }
        if (const auto left = s.remaining(); left && *left <= 0) {
            out << (*left == 0 ? QStringLiteral("%1: reached").arg(s.limit.describe())
                               : QStringLiteral("%1: %2 %3 over")
                                     .arg(s.limit.describe(), figure(-*left), due::basisUnit(*b)));
        }
    }
    return out;
}

ComponentEvent installComponent(data::Database& db, const Installation& in, const QDate& today) {
    const QString what = QStringLiteral("The component cannot be installed");
    checkCommon(what, in.key, in.date, today, QStringLiteral("installation"));
    if (in.regNum.trimmed().isEmpty())
        refuse(what, QStringLiteral("the aircraft it goes on must be given."));
    if (in.meter != 1 && in.meter != 2)
        refuse(what, QStringLiteral("the meter must be 1 or 2."));
    data::Transaction tx(db);
    const auto totals = aircraftTotals(db, in.regNum);
    if (!totals)
        refuse(what, QStringLiteral("the aircraft %1 is not on file.").arg(in.regNum.trimmed()),
               err::ItemNotFound);
    if (!installedLimits(db, in.key, in.regNum).empty())
        refuse(
            what,
            QStringLiteral("aircraft %1 already has %2.").arg(in.regNum.trimmed(), in.key.label()));
    const auto stored = storedComponent(db, in.key);
    if (!stored || stored->location == Location::Scrapped || !installedLimits(db, in.key).empty())
        refuse(what,
               QStringLiteral("%1 cannot come from stores; ").arg(in.key.label()) +
                   whereIs(db, in.key),
               stored ? err::ValidationRule : err::ItemNotFound);
    if (stored->removedDate.isValid() && in.date < stored->removedDate)
        refuse(what, QStringLiteral("the date of installation (%1) precedes its removal on %2.")
                         .arg(dateText(in.date), dateText(stored->removedDate)));
    if (const QStringList reached = reachedLimits(*stored, in.date);
        !reached.isEmpty() && !in.acceptReachedLimits)
        refuse(what, QStringLiteral("%1 has reached its limit: %2.")
                         .arg(in.key.label(), reached.join(QStringLiteral("; "))));
    prepareHistory(db, stored->key);

    ComponentEvent e;
    e.key = stored->key;
    e.kind = kInstalled;
    e.date = in.date;
    e.regNum = in.regNum.trimmed();
    e.itemNumber = in.itemNumber;
    e.totals = *totals;
    e.reason = QStringLiteral("from %1").arg(locationText(stored->location));
    e.location = stored->removedFrom;
    e.reference = in.reference.trimmed();

    const QString insert = insertSql(QStringLiteral("Parts"), partColumns());
    for (const StoredLimit& s : stored->limits) {
        std::vector<Value> row = s.limit.row;
        row[RegNum] = Value(in.regNum.trimmed());
        row[ItemNumber] = Value(in.itemNumber);
        row[MeterNumber] = Value(in.meter);
        const auto b = s.limit.basis();
        if (b && *b == due::Basis::MO) {
            // The calendar runs on in stores: the months count from the date they always did.
        } else if (b) {
            row[InstallDate] = Value(in.date);
            row[InstallTimeLeft] = number(s.lifeUsed);
            row[InstallACHour] = number(totalFor(*b, in.meter, *totals));
        } else {
            row[InstallDate] = Value(in.date);
        }
        Limit placed{row};
        e.limits.push_back(
            eventLimit(placed, s.lifeUsed, lifeUsedNow(placed, *totals, in.date), &s));
        db.execute(insert, row);
    }
    db.execute(
        QStringLiteral("DELETE FROM [ComponentStores] WHERE [PartNumber]=?1 AND [Serial#]=?2"),
        {Value(in.key.partNumber.trimmed()), Value(in.key.serialNumber.trimmed())});
    writeEvent(db, &e);
    tx.commit();
    return e;
}

ComponentEvent overhaulComponent(data::Database& db, const Overhaul& o, const QDate& today) {
    const QString what = QStringLiteral("The %1 cannot be recorded")
                             .arg(o.kind == kOverhauled  ? QStringLiteral("overhaul")
                                  : o.kind == kInspected ? QStringLiteral("inspection")
                                  : o.kind == kRepaired  ? QStringLiteral("repair")
                                                         : QStringLiteral("event"));
    checkCommon(what, o.key, o.date, today, QStringLiteral("the event"));
    if (o.kind != kOverhauled && o.kind != kInspected && o.kind != kRepaired)
        refuse(what, QStringLiteral("an event is an overhaul, an inspection or a repair."));
    data::Transaction tx(db);
    const auto stored = storedComponent(db, o.key);
    if (!stored || stored->location == Location::Scrapped)
        refuse(what,
               QStringLiteral("%1 must be off its aircraft and not scrapped; ").arg(o.key.label()) +
                   whereIs(db, o.key),
               stored ? err::ValidationRule : err::ItemNotFound);
    if (stored->removedDate.isValid() && o.date < stored->removedDate)
        refuse(what, QStringLiteral("its date (%1) precedes the removal on %2.")
                         .arg(dateText(o.date), dateText(stored->removedDate)));
    QStringList unknown;
    for (const QString& code : o.resetBases) {
        bool found = false;
        for (const StoredLimit& s : stored->limits)
            found = found || data::textKey(s.limit.basisCode()) == data::textKey(code.trimmed());
        if (!found)
            unknown << code.trimmed();
    }
    if (!unknown.isEmpty())
        refuse(what, QStringLiteral("%1 has no limit of type %2.")
                         .arg(o.key.label(), unknown.join(QStringLiteral(", "))));
    prepareHistory(db, stored->key);

    ComponentEvent e;
    e.key = stored->key;
    e.kind = o.kind;
    e.date = o.date;
    e.reason = o.reason.trimmed();
    e.location = locationText(stored->location);
    e.reference = o.reference.trimmed();
    for (const StoredLimit& s : stored->limits) {
        bool reset = false;
        for (const QString& code : o.resetBases)
            reset = reset || data::textKey(s.limit.basisCode()) == data::textKey(code.trimmed());
        if (!reset) {
            e.limits.push_back(eventLimit(s.limit, s.lifeUsed, s.lifeUsed, &s));
            continue;
        }
        StoredLimit after = s;
        after.lifeUsed = 0.0;
        const auto b = s.limit.basis();
        if (b && *b == due::Basis::MO) {
            after.limit.row[InstallDate] = Value(o.date);
            db.execute(QStringLiteral("UPDATE [ComponentStores] SET [LifeUsed]=0, "
                                      "[InstallDate]=?2 WHERE [StoreId]=?1"),
                       {Value(s.storeId), Value(o.date)});
        } else {
            db.execute(
                QStringLiteral("UPDATE [ComponentStores] SET [LifeUsed]=0 WHERE [StoreId]=?1"),
                {Value(s.storeId)});
        }
        e.limits.push_back(eventLimit(after.limit, s.lifeUsed, 0.0, &after));
    }
    writeEvent(db, &e);
    tx.commit();
    return e;
}

}  // namespace velmora::components
