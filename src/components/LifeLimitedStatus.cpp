#include "LifeLimitedStatus.h"

#include "ComponentRead.h"
#include "ComponentSchema.h"
#include "ComponentTypes.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "data/TextKey.h"
#include "data/ValueNumber.h"

#include <QBrush>
#include <QHash>
#include <QLocale>

#include <algorithm>

namespace velmora::components {

namespace {

// What a component's recorded overhauls (inspections, repairs) tell of its limits, by basis
// code: the life used each set back, and the life used right after the last overhaul.
struct OverhaulRecord {
    QHash<QString, double> setBack;
    bool overhauled = false;
    QHash<QString, double> usedAfterLast;
};

QString codeOf(const QString& stored) {
    const auto b = due::basisFromCode(stored);
    return b ? due::basisCode(*b) : stored.trimmed().toUpper();
}

QString textIn(const data::Value& v) {
    return v.isNull() ? QString() : v.toString();
}

// The overhaul records of the components named (by ComponentKey::groupKey), read in one go.
QHash<QString, OverhaulRecord> readOverhauls(data::Database& db, const QSet<QString>& wanted) {
    QHash<QString, OverhaulRecord> out;
    if (wanted.isEmpty() || !schema::hasHistory(db))
        return out;
    auto rs = db.openRecordset(
        QStringLiteral(
            "select ComponentEvents.EventId, ComponentEvents.PartNumber, "
            "ComponentEvents.SerialNumber, ComponentEvents.EventKind, "
            "ComponentEventLimits.LifeBasis, ComponentEventLimits.UsedBefore, "
            "ComponentEventLimits.UsedAfter from ComponentEvents inner join ComponentEventLimits "
            "on ComponentEvents.EventId = ComponentEventLimits.EventId where "
            "ComponentEvents.EventKind in (?1, ?2, ?3) order by ComponentEvents.EventId"),
        {data::Value(kOverhauled), data::Value(kInspected), data::Value(kRepaired)});
    QHash<QString, std::int64_t> lastOverhaul;
    for (const auto& row : rs->rows()) {
        const auto& v = row.values;
        const QString key = ComponentKey{textIn(v[1]), textIn(v[2])}.groupKey();
        if (!wanted.contains(key))
            continue;
        OverhaulRecord& r = out[key];
        const QString code = codeOf(textIn(v[4]));
        const auto before = data::numberIn(v[5]);
        const auto after = data::numberIn(v[6]);
        if (before && after && *before > *after)
            r.setBack[code] += *before - *after;
        if (textIn(v[3]).trimmed().compare(kOverhauled, Qt::CaseInsensitive) != 0)
            continue;
        const std::int64_t id = v[0].toInt();
        auto it = lastOverhaul.find(key);
        if (it == lastOverhaul.end() || *it != id) {
            lastOverhaul.insert(key, id);
            r.overhauled = true;
            r.usedAfterLast.clear();
        }
        if (after)
            r.usedAfterLast.insert(code, *after);
    }
    return out;
}

bool sameMeter(const LifeLimitedLine& a, const LifeLimitedLine& b) {
    return a.meter == b.meter;
}

// The line of the same component with the basis and meter of the line given.
const LifeLimitedLine* sibling(const std::vector<LifeLimitedLine*>& unit,
                               const LifeLimitedLine& line, due::Basis basis) {
    for (const LifeLimitedLine* other : unit) {
        if (other->basisKind == basis && sameMeter(*other, line))
            return other;
    }
    return nullptr;
}

void addSinceFigures(std::vector<LifeLimitedLine*>& unit, const OverhaulRecord* record) {
    // First what a line's own figures and the history tell.
    for (LifeLimitedLine* line : unit) {
        const due::Basis b = *line->basisKind;
        const QString code = due::basisCode(b);
        if (b != due::Basis::OH && b != due::Basis::IN && line->used)
            line->sinceNew = *line->used + (record ? record->setBack.value(code, 0.0) : 0.0);
        if (record && record->overhauled) {
            if (const auto it = record->usedAfterLast.constFind(code);
                it != record->usedAfterLast.constEnd() && line->used)
                line->sinceOverhaul = *line->used - *it;
        } else if (b == due::Basis::OH) {
            line->sinceOverhaul = line->used;
        }
    }
    // Then what the other limits of the component on the same meter know.
    for (LifeLimitedLine* line : unit) {
        const due::Basis b = *line->basisKind;
        if ((b == due::Basis::OH || b == due::Basis::IN) && !line->sinceNew) {
            if (const LifeLimitedLine* rt = sibling(unit, *line, due::Basis::RT))
                line->sinceNew = rt->sinceNew;
        }
        if ((b == due::Basis::IN || b == due::Basis::RT) && !line->sinceOverhaul) {
            if (const LifeLimitedLine* oh = sibling(unit, *line, due::Basis::OH))
                line->sinceOverhaul = oh->sinceOverhaul;
        }
    }
}

}  // namespace

LifeLimitedStatus readLifeLimitedStatus(data::Database& mainDb, const QString& regNum,
                                        const utilisation::UtilisationSource& use,
                                        const due::WarningSettings& warnings, const QDate& day) {
    const auto totals = aircraftTotals(mainDb, regNum);
    if (!totals) {
        throw data::DbError(data::ErrorNumber::ItemNotFound,
                            QStringLiteral("There is no aircraft with the registration number "
                                           "\"%1\".")
                                .arg(regNum.trimmed()));
    }
    LifeLimitedStatus status;
    status.regNum = regNum.trimmed();
    status.day = day;
    status.totals = *totals;
    // The due list's own figures: the same remaining life, dates and controlling limits.
    const due::DueList list = due::computeDueList(mainDb, use, warnings, day);
    const QString wantedReg = data::textKey(regNum);
    for (const due::DueEntry& e : list.entries) {
        if (e.isTask() || !e.basisKind() || !e.life || data::textKey(list.regNum(e)) != wantedReg)
            continue;
        status.regNum = list.regNum(e);
        LifeLimitedLine l;
        if (e.hasItemNumber)
            l.itemNumber = e.itemNumber;
        l.description = QString::fromStdString(e.description);
        l.partNumber = QString::fromStdString(e.partNumber);
        l.serialNumber = QString::fromStdString(e.serialNumber);
        l.basis = QString::fromStdString(e.lifeBasis);
        l.basisKind = e.basisKind();
        if (e.hasMeter)
            l.meter = e.meter;
        l.life = e.life;
        l.remaining = e.remaining;
        if (e.remaining)
            l.used = *e.life - *e.remaining;
        l.projection = e.projection;
        l.dueDate = e.dueDate();
        l.level = e.level;
        l.controls = e.controls;
        status.lines.push_back(std::move(l));
    }
    std::stable_sort(status.lines.begin(), status.lines.end(),
                     [](const LifeLimitedLine& a, const LifeLimitedLine& b) {
                         if (a.itemNumber != b.itemNumber)
                             return a.itemNumber < b.itemNumber;
                         return due::basisIndex(*a.basisKind) < due::basisIndex(*b.basisKind);
                     });

    // Each component's lines together, by part number and serial number; a line without
    // either stands alone.
    QHash<QString, std::vector<LifeLimitedLine*>> units;
    std::vector<std::vector<LifeLimitedLine*>> loose;
    for (LifeLimitedLine& l : status.lines) {
        const ComponentKey key{l.partNumber, l.serialNumber};
        if (key.partNumber.trimmed().isEmpty() || key.serialNumber.trimmed().isEmpty())
            loose.push_back({&l});
        else
            units[key.groupKey()].push_back(&l);
    }
    QSet<QString> wanted;
    for (auto it = units.cbegin(); it != units.cend(); ++it)
        wanted.insert(it.key());
    const QHash<QString, OverhaulRecord> overhauls = readOverhauls(mainDb, wanted);
    for (auto it = units.begin(); it != units.end(); ++it) {
        const auto found = overhauls.constFind(it.key());
        addSinceFigures(*it, found == overhauls.constEnd() ? nullptr : &*found);
    }
    for (auto& unit : loose)
        addSinceFigures(unit, nullptr);
    return status;
}

namespace {

QString figure(const std::optional<double>& d, bool months) {
    if (!d)
        return {};
    return months ? QLocale::c().toString(*d, 'f', 1) : QLocale::c().toString(*d, 'g', 12);
}

QString limitText(const LifeLimitedLine& l) {
    if (!l.life)
        return {};
    return QStringLiteral("%1 %2").arg(QLocale::c().toString(*l.life, 'g', 12),
                                       due::basisUnit(*l.basisKind));
}

QString dueText(const LifeLimitedLine& l) {
    switch (l.projection) {
        case due::Projection::Dated:
            return l.dueDate.toString(Qt::ISODate);
        case due::Projection::NoUseRecorded:
            return QStringLiteral("no use recorded");
        case due::Projection::BeyondReach:
            return QStringLiteral("beyond a century");
        case due::Projection::NoFigure:
            break;
    }
    return {};
}

}  // namespace

std::unique_ptr<QStandardItemModel> lifeLimitedTable(const LifeLimitedStatus& status) {
    auto model = std::make_unique<QStandardItemModel>(0, LlpColumnCount);
    model->setHorizontalHeaderLabels(
        {QStringLiteral("Item #"), QStringLiteral("Component Name"), QStringLiteral("Part Number"),
         QStringLiteral("Serial #"), QStringLiteral("Basis"), QStringLiteral("Meter"),
         QStringLiteral("Limit"), QStringLiteral("Used"), QStringLiteral("Remaining"),
         QStringLiteral("Due"), QStringLiteral("Since New"), QStringLiteral("Since Overhaul"),
         QStringLiteral("Controls")});
    for (const LifeLimitedLine& l : status.lines) {
        const bool months = l.basisKind == due::Basis::MO;
        const QStringList cells = {
            l.itemNumber ? QString::number(*l.itemNumber) : QString(),
            l.description,
            l.partNumber,
            l.serialNumber,
            due::basisCode(*l.basisKind),
            due::isTimeBasis(*l.basisKind) && l.meter ? QString::number(*l.meter) : QString(),
            limitText(l),
            figure(l.used, months),
            figure(l.remaining, months),
            dueText(l),
            figure(l.sinceNew, months),
            figure(l.sinceOverhaul, months),
            l.controls ? QStringLiteral("yes") : QString()};
        const QColor colour = due::warningColour(l.level);
        QList<QStandardItem*> items;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            auto* item = new QStandardItem(cells[c]);
            item->setEditable(false);
            if (colour.isValid() && (c == LlpRemaining || c == LlpDue))
                item->setForeground(QBrush(colour));
            if (c == LlpItem || c == LlpMeter || c == LlpUsed || c == LlpRemaining ||
                c == LlpSinceNew || c == LlpSinceOverhaul)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items << item;
        }
        model->appendRow(items);
    }
    return model;
}

exporting::TablePrintJob lifeLimitedPrintJob(const LifeLimitedStatus& status,
                                             const QStandardItemModel& table,
                                             const QDateTime& printed) {
    exporting::TablePrintJob job;
    job.title = QStringLiteral("Life-Limited Parts Status - ") + status.regNum;
    auto total = [](const std::optional<double>& d) {
        return d ? QLocale::c().toString(*d, 'g', 12) : QStringLiteral("-");
    };
    job.subtitle = QStringLiteral(
                       "As of %1: total time %2, time 2 %3, landings %4, cycles %5, RIN %6. "
                       "%7 limits; printed %8")
                       .arg(status.day.toString(Qt::ISODate), total(status.totals.time),
                            total(status.totals.time2), total(status.totals.landings),
                            total(status.totals.cycles), total(status.totals.rin))
                       .arg(status.lines.size())
                       .arg(printed.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    job.model = &table;
    for (int c = 0; c < LlpColumnCount; ++c)
        job.columns.push_back(c);
    return job;
}

}  // namespace velmora::components
