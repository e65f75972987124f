#include "DemoFleet.h"

#include "AverageUse.h"
#include "ComponentLife.h"
#include "DemoAircraft.h"
#include "ModelItems.h"
#include "OilSamples.h"
#include "Random.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace velmora::demo {

namespace {

constexpr std::uint64_t kSeed = 0x56454C4D4F5241ull;

// Most components sit somewhere in their life; a few are coming due and a few are past
// their limit.
double drawRemaining(Random& rng) {
    const double p = rng.unit();
    if (p < 0.06)
        return rng.uniform(-0.12, -0.01);
    if (p < 0.16)
        return rng.uniform(0.0, 0.06);
    return rng.uniform(0.08, 0.97);
}

// Inspections and short calendar limits fall due whatever the aircraft's age; a long
// flight-time limit cannot be overdue on a part fitted new to a younger airframe.
bool alwaysReachable(const CatalogItem& item) {
    const QLatin1String basis(item.basis);
    return basis == QLatin1String("IN") || (basis == QLatin1String("MO") && item.life <= 60);
}

std::vector<LifeState> lifeStates(const std::vector<ModelItem>& items, Random& rng) {
    std::vector<LifeState> states;
    int overdue = 0;
    for (const ModelItem& mi : items) {
        if (mi.item->oil != OilKind::None) {
            // Oil-analysed units have run long enough on this aircraft for a sample history.
            states.push_back({rng.uniform(0.2, 0.6), 0.0});
            continue;
        }
        const double r = drawRemaining(rng);
        overdue += r < 0 && alwaysReachable(*mi.item);
        // Parts sometimes come from an exchange pool with time on them; tasks never do.
        const bool exchanged = !mi.partNumber.isNull() && rng.chance(0.35);
        states.push_back({r, exchanged ? rng.uniform(0.2, 0.6) : 0.0});
    }
    // Every aircraft shows at least two overdue items.
    while (overdue < 2) {
        const auto i = static_cast<size_t>(rng.between(0, static_cast<int>(items.size()) - 1));
        if (!alwaysReachable(*items[i].item) || states[i].remainingFraction < 0)
            continue;
        states[i].remainingFraction = rng.uniform(-0.1, -0.02);
        ++overdue;
    }
    return states;
}

QString serialFor(const ModelItem& mi, Random& rng) {
    const QString letters = mi.manufacturer.left(2).toUpper();
    return QStringLiteral("%1%2").arg(letters).arg(rng.between(10000, 99999));
}

ComponentRow componentFor(const DemoAircraft& a, const ModelItem& mi, Random& rng) {
    const CatalogItem& item = *mi.item;
    ComponentRow c;
    c.regNum = a.row.regNum;
    c.itemNumber = mi.itemNumber;
    c.meterNumber = item.meter;
    c.assembly = QString::fromLatin1(item.assembly);
    c.description = mi.description;
    c.partNumber = mi.partNumber;
    c.manufacturer = mi.manufacturer;
    c.inspection = QString::fromLatin1(item.inspection);
    c.lifeNumber = item.life;
    c.lifeBasis = QString::fromLatin1(item.basis);
    c.oilAnalysis = item.oil != OilKind::None;
    if (c.partNumber.isNull()) {
        c.manufacturer = QString();  // a task, not a part
    } else {
        c.serial = serialFor(mi, rng);
        c.replaceCost = roundTo(item.cost * rng.uniform(0.97, 1.08), 2);
    }
    if (c.description == u"Engine" || c.description == u"Engine, No. 1")
        c.serial = a.row.engine1Serial;
    else if (c.description == u"Engine, No. 2")
        c.serial = a.row.engine2Serial;
    if ((c.lifeBasis == u"OH" || c.lifeBasis == u"RT") && c.replaceCost > 0)
        c.reservePerHour = roundTo(c.replaceCost / c.lifeNumber, 2);
    return c;
}

// A unit kept off the aircraft: a serviceable spare or one removed for overhaul.
ComponentRow notInstalledUnit(const ComponentRow& fitted, int itemNumber, bool removed,
                              const QDate& today, Random& rng) {
    ComponentRow c = fitted;
    c.itemNumber = itemNumber;
    c.active = false;
    c.serial = fitted.serial.left(2) + QString::number(rng.between(10000, 99999));
    // A unit off the aircraft belongs to no engine position.
    static const QRegularExpression position(QStringLiteral(", No\\. \\d$"));
    c.description.remove(position);
    c.oilAnalysis = false;
    if (removed) {
        // The unit the fitted one replaced: it had been fitted earlier.
        c.notes = QStringLiteral("Removed at the %1 inspection; sent for overhaul.")
                      .arg(fitted.inspection.toLower());
        c.installAcHour = std::floor(fitted.installAcHour * rng.uniform(0.4, 0.8));
        c.installDate = fitted.installDate.addDays(-rng.between(400, 900));
        c.datePurchased = c.installDate.addDays(-rng.between(10, 90));
    } else {
        c.notes = QStringLiteral("Serviceable spare, stores shelf %1%2.")
                      .arg(QChar(u'A' + rng.between(0, 5)))
                      .arg(rng.between(1, 9));
        c.installDate = QDate();
        c.installTimeLeft = 0;
        c.installAcHour = 0;
        c.datePurchased = today.addDays(-rng.between(30, 400));
    }
    return c;
}

void addAircraft(const DemoAircraft& a, int index, const QDate& today, DemoFleet* fleet) {
    Random rng(kSeed + 7919u * static_cast<std::uint64_t>(index + 1));
    const std::vector<ModelItem> items = modelItems(*a.model);
    const std::vector<LifeState> states = lifeStates(items, rng);
    const QDate serviceStart(a.yearBuilt, 3, 1);
    std::vector<ComponentRow> rows;
    for (size_t i = 0; i < items.size(); ++i) {
        ComponentRow c = componentFor(a, items[i], rng);
        placeInLife(&c, a.row, serviceStart, today, states[i]);
        if (!c.partNumber.isNull())
            c.datePurchased = c.installDate.addDays(-rng.between(7, 180));
        if (c.installTimeLeft > 0)
            c.notes = QStringLiteral("Fitted from the exchange pool with %1 %2 on it.")
                          .arg(c.installTimeLeft)
                          .arg(c.lifeBasis == u"LD"   ? QStringLiteral("landings")
                               : c.lifeBasis == u"CY" ? QStringLiteral("cycles")
                               : c.lifeBasis == u"RN" ? QStringLiteral("RIN")
                                                      : QStringLiteral("hours"));
        rows.push_back(std::move(c));
        if (rows.back().active && remainingLife(rows.back(), a.row, today) < 0)
            ++fleet->overdue;
    }
    // Two or three units not installed: parts worth keeping a spare of.
    const int spares = rng.between(2, 3);
    for (int k = 0, tries = 0; k < spares && tries < 1000; ++tries) {
        const ComponentRow& fitted =
            rows[static_cast<size_t>(rng.between(0, static_cast<int>(items.size()) - 1))];
        if (fitted.partNumber.isNull() || fitted.oilAnalysis || fitted.replaceCost < 500 ||
            fitted.lifeBasis == u"MO")
            continue;
        rows.push_back(
            notInstalledUnit(fitted, static_cast<int>(items.size()) + k + 1, k == 0, today, rng));
        ++fleet->notInstalled;
        ++k;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        const ComponentRow& c = rows[i];
        if (!c.oilAnalysis)
            continue;
        OilSeriesPlan plan;
        plan.kind = items[i].item->oil;
        plan.count = rng.between(12, 16);
        plan.trendElement = c.description == QLatin1String(a.trendComponent) ? a.trendElement : -1;
        plan.hoursPerDay =
            aircraftTotal(a.row, c.lifeBasis, c.meterNumber) / serviceStart.daysTo(today);
        plan.today = today;
        plan.latestDaysAgo = rng.between(4, 25);
        const qint64 span = c.installDate.daysTo(today) - plan.latestDaysAgo;
        plan.spacingDays = static_cast<int>(std::clamp<qint64>(span / plan.count, 7, 35));
        for (OilSampleRow& s : oilSeries(c, a.row, plan, rng))
            fleet->oilSamples.push_back(std::move(s));
    }
    for (ComponentRow& c : rows)
        fleet->components.push_back(std::move(c));
    fleet->aircraft.push_back(a.row);
    fleet->plannedUse.push_back({a.row.regNum, averageDailyUse(a.row, serviceStart, today)});
}

std::vector<MakeTemplates> templates() {
    std::vector<MakeTemplates> out;
    for (const AircraftModel& m : demoModels()) {
        const QString make = QString::fromLatin1(m.make);
        auto it = std::find_if(out.begin(), out.end(),
                               [&](const MakeTemplates& t) { return t.make == make; });
        if (it == out.end())
            it = out.insert(out.end(), MakeTemplates{make, {}, {}});
        it->models << QString::fromLatin1(m.model);
        for (TemplateRow& r : templateRows(m))
            it->rows.push_back(std::move(r));
    }
    return out;
}

}  // namespace

DemoFleet buildDemoFleet(const QDate& today) {
    DemoFleet fleet;
    int index = 0;
    for (const DemoAircraft& a : demoAircraft())
        addAircraft(a, index++, today, &fleet);
    fleet.templates = templates();
    return fleet;
}

}  // namespace velmora::demo
