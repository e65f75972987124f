#include "RecordCard.h"

#include "ComponentEvents.h"
#include "ComponentRead.h"
#include "ComponentTables.h"

#include <QHash>
#include <QLocale>

namespace velmora::components {

namespace {

QString textOf(const data::Value& v) {
    return v.isNull() ? QString() : v.toString().trimmed();
}

QString codeOf(const QString& stored) {
    const auto b = due::basisFromCode(stored);
    return b ? due::basisCode(*b) : stored.trimmed().toUpper();
}

// The aircraft's totals at an event, those known: "TT 1000; TT2 500; LDG 4000; ...".
QString totalsText(const due::AircraftTotals& t) {
    QStringList parts;
    auto add = [&](const char* name, const std::optional<double>& v) {
        if (v)
            parts << QString::fromLatin1(name) + QLatin1Char(' ') + figureText(v);
    };
    add("TT", t.time);
    add("TT2", t.time2);
    add("LDG", t.landings);
    add("CYC", t.cycles);
    add("RIN", t.rin);
    return parts.join(QStringLiteral("; "));
}

bool isOverhaulLike(const QString& kind) {
    const QString k = kind.trimmed().toLower();
    return k == kOverhauled || k == kInspected || k == kRepaired;
}

}  // namespace

RecordCard readRecordCard(data::Database& db, const ComponentKey& key) {
    RecordCard card;
    card.key = key;
    card.events = readHistory(db, key);
    if (!card.events.empty())
        card.key = card.events.back().key;
    std::vector<Limit> rows = installedLimits(db, key);
    if (rows.empty()) {
        if (const auto stored = storedComponent(db, key)) {
            for (const StoredLimit& s : stored->limits)
                rows.push_back(s.limit);
        }
    }
    for (const Limit& l : rows) {
        if (card.description.isEmpty())
            card.description = textOf(l.row[Description]);
        if (card.manufacturer.isEmpty())
            card.manufacturer = textOf(l.row[Manufacturer]);
    }
    return card;
}

std::vector<LifeAtEvent> lifeAtEvents(const std::vector<ComponentEvent>& events) {
    std::vector<LifeAtEvent> out;
    out.reserve(events.size());
    QHash<QString, double> setBack, atLastOverhaul;
    bool overhauled = false;
    for (const ComponentEvent& e : events) {
        QHash<QString, double> after;
        for (const EventLimit& l : e.limits) {
            const QString code = codeOf(l.basis);
            if (l.usedAfter && !after.contains(code))
                after.insert(code, *l.usedAfter);
            if (isOverhaulLike(e.kind) && l.usedBefore && l.usedAfter &&
                *l.usedBefore > *l.usedAfter)
                setBack[code] += *l.usedBefore - *l.usedAfter;
        }
        if (e.kind.trimmed().compare(kOverhauled, Qt::CaseInsensitive) == 0) {
            overhauled = true;
            atLastOverhaul = after;
        }
        LifeAtEvent life;
        const QString rt = QStringLiteral("RT"), oh = QStringLiteral("OH");
        const QString cycles =
            after.contains(QStringLiteral("CY")) ? QStringLiteral("CY") : QStringLiteral("LD");
        if (after.contains(rt))
            life.tsn = after.value(rt) + setBack.value(rt, 0.0);
        if (after.contains(cycles))
            life.csn = after.value(cycles) + setBack.value(cycles, 0.0);
        if (overhauled && after.contains(rt) && atLastOverhaul.contains(rt))
            life.tso = after.value(rt) - atLastOverhaul.value(rt);
        else if (after.contains(oh))
            life.tso = after.value(oh);
        if (overhauled && after.contains(cycles) && atLastOverhaul.contains(cycles))
            life.cso = after.value(cycles) - atLastOverhaul.value(cycles);
        out.push_back(life);
    }
    return out;
}

std::unique_ptr<QStandardItemModel> recordCardEvents(const RecordCard& card) {
    auto model = textTable(
        {QStringLiteral("Date"), QStringLiteral("Event"), QStringLiteral("Aircraft"),
         QStringLiteral("Item #"), QStringLiteral("Aircraft Totals"), QStringLiteral("TSN"),
         QStringLiteral("CSN"), QStringLiteral("TSO"), QStringLiteral("CSO"),
         QStringLiteral("Life Used (of Limit)"), QStringLiteral("Reason"),
         QStringLiteral("Work Order / Release Cert."), QStringLiteral("Signed By")});
    const std::vector<LifeAtEvent> life = lifeAtEvents(card.events);
    for (size_t i = 0; i < card.events.size(); ++i) {
        const ComponentEvent& e = card.events[i];
        const QString reason = e.location.isEmpty()
                                   ? e.reason
                                   : (e.reason.isEmpty() ? e.location
                                                         : e.reason + QStringLiteral(" (to ") +
                                                               e.location + QLatin1Char(')'));
        appendTextRow(
            model.get(),
            {isoDateText(e.date), e.kind, e.regNum,
             e.itemNumber ? QString::number(*e.itemNumber) : QString(), totalsText(e.totals),
             figureText(life[i].tsn), figureText(life[i].csn), figureText(life[i].tso),
             figureText(life[i].cso), lifeText(e), reason, e.reference, e.enteredBy});
    }
    return model;
}

std::unique_ptr<QStandardItemModel> recordCardFitted(const RecordCard& card) {
    auto model = textTable({QStringLiteral("Aircraft"), QStringLiteral("Item #"),
                            QStringLiteral("Installed"), QStringLiteral("Aircraft Totals On"),
                            QStringLiteral("Removed"), QStringLiteral("Aircraft Totals Off"),
                            QStringLiteral("Reason for Removal")});
    const ComponentEvent* on = nullptr;
    auto item = [](const ComponentEvent* e) {
        return e && e->itemNumber ? QString::number(*e->itemNumber) : QString();
    };
    for (const ComponentEvent& e : card.events) {
        const QString kind = e.kind.trimmed().toLower();
        if (kind == kInstalled) {
            if (on)  // fitted again without a recorded removal
                appendTextRow(model.get(),
                              {on->regNum, item(on), isoDateText(on->date), totalsText(on->totals),
                               QString(), QString(), QString()});
            on = &e;
        } else if (kind == kRemoved) {
            const ComponentEvent* from =
                on && on->regNum.compare(e.regNum, Qt::CaseInsensitive) == 0 ? on : nullptr;
            appendTextRow(model.get(), {e.regNum, item(from ? from : &e),
                                        from ? isoDateText(from->date) : QString(),
                                        from ? totalsText(from->totals) : QString(),
                                        isoDateText(e.date), totalsText(e.totals), e.reason});
            on = nullptr;
        }
    }
    if (on)
        appendTextRow(model.get(),
                      {on->regNum, item(on), isoDateText(on->date), totalsText(on->totals),
                       QStringLiteral("(fitted)"), QString(), QString()});
    return model;
}

std::unique_ptr<RecordCardPrint> recordCardPrint(const RecordCard& card, const QDateTime& printed) {
    auto print = std::make_unique<RecordCardPrint>();
    print->events = recordCardEvents(card);
    print->fitted = recordCardFitted(card);
    exporting::TablePrintJob& job = print->job;
    job.title = QStringLiteral("Component Record Card - ") + card.key.label();
    QStringList facts = {QStringLiteral("Part number: ") + card.key.partNumber.trimmed(),
                         QStringLiteral("Serial number: ") + card.key.serialNumber.trimmed()};
    if (!card.description.isEmpty())
        facts << QStringLiteral("Description: ") + card.description;
    facts << QStringLiteral("Manufacturer: ") +
                 (card.manufacturer.isEmpty() ? QStringLiteral("not recorded") : card.manufacturer);
    facts << QStringLiteral("%1 events, printed %2")
                 .arg(card.events.size())
                 .arg(printed.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    job.subtitle = facts.join(QStringLiteral("   "));
    job.model = print->events.get();
    for (int c = 0; c < CardEventColumnCount; ++c)
        job.columns.push_back(c);
    exporting::TableSection fitted;
    fitted.heading = QStringLiteral("Aircraft fitted to");
    fitted.model = print->fitted.get();
    for (int c = 0; c < FittedColumnCount; ++c)
        fitted.columns.push_back(c);
    job.sections.push_back(fitted);
    return print;
}

}  // namespace velmora::components
