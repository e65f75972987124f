#include "JournalUtilisation.h"

#include "data/Database.h"
#include "data/Journal.h"
#include "data/TextKey.h"

#include <array>

namespace velmora::journal {

namespace {

// The totals, in the order of Sums::figures, with the figure each gives.
struct Figure {
    const char* column;
    std::optional<double> utilisation::DailyUtilisation::*field;
};
const std::array<Figure, 5> kFigures = {{
    {"TotalTime", &utilisation::DailyUtilisation::meter1Hours},
    {"TotalTime2", &utilisation::DailyUtilisation::meter2Hours},
    {"TotalLandings", &utilisation::DailyUtilisation::landings},
    {"TotalCycles", &utilisation::DailyUtilisation::cycles},
    {"TotalRIN", &utilisation::DailyUtilisation::rin},
}};

int figureOf(const QString& column) {
    for (size_t i = 0; i < kFigures.size(); ++i) {
        if (column.compare(QLatin1String(kFigures[i].column), Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

bool numberIn(const data::Value& v, double* out) {
    if (v.isNull())
        return false;
    if (v.isNumber()) {
        *out = v.toDouble();
        return true;
    }
    return data::Value::parseNumber(v.toString(), out);
}

}  // namespace

JournalUtilisation JournalUtilisation::read(data::Database& mainDb, const QDate& asOf, int days,
                                            const QString& onlyRegNum) {
    JournalUtilisation out;
    out.asOf_ = asOf;
    out.days_ = std::max(1, days);
    out.planned_ = utilisation::PlannedUtilisation::read(mainDb);
    if (!mainDb.hasTable(data::journal::kTable))
        return out;
    const QString end = asOf.addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
    // The journal's registrations compare without regard to letter case, as Jet's do.
    const QString oneAircraft =
        onlyRegNum.trimmed().isEmpty() ? QString() : QStringLiteral(" AND RegNum = ?3");
    auto withReg = [&](std::vector<data::Value> args) {
        if (!oneAircraft.isEmpty())
            args.emplace_back(onlyRegNum.trimmed());
        return args;
    };
    // Both reads go by the journal's index of the aircraft lines by time, not through every
    // line of it: "+RegNum" (the same registration, letter case ignored) keeps the grouping
    // from walking the index by registration instead.
    // Each aircraft's first line, and which of its totals have lines at all. On a server the
    // registration groups by its own rule for text (letter case ignored), and takes no hint.
    const QString plus = mainDb.runsSqliteText() ? QStringLiteral("+") : QString();
    mainDb.forEachRow(
        QStringLiteral("SELECT RegNum, ColumnName, substr(min(ChangedAt), 1, 10) FROM Journal "
                       "WHERE TableName = 'Aircraft' AND ChangedAt >= ?1 AND ChangedAt < ?2%1 "
                       "GROUP BY %2RegNum, %2ColumnName")
            .arg(oneAircraft, plus),
        withReg({data::Value(QStringLiteral("0000")), data::Value(end)}),
        [&](const std::vector<data::Value>& r) {
            if (r[0].isNull())
                return;
            Sums& s = out.byAircraft_[data::textKey(r[0].toString())];
            const QDate first = QDate::fromString(r[2].toString(), Qt::ISODate);
            if (!s.firstDay.isValid() || first < s.firstDay)
                s.firstDay = first;
            if (const int f = r[1].isNull() ? -1 : figureOf(r[1].toString()); f >= 0)
                s.journalled[f] = true;
        });
    const QString begin = asOf.addDays(1 - out.days_).toString(QStringLiteral("yyyy-MM-dd"));
    mainDb.forEachRow(
        QStringLiteral("SELECT RegNum, ColumnName, OldValue, NewValue FROM Journal WHERE "
                       "TableName = 'Aircraft' AND ColumnName IN ('TotalTime', 'TotalTime2', "
                       "'TotalLandings', 'TotalCycles', 'TotalRIN') AND ChangedAt >= ?1 AND "
                       "ChangedAt < ?2%1")
            .arg(oneAircraft),
        withReg({data::Value(begin), data::Value(end)}), [&](const std::vector<data::Value>& r) {
            const int f = figureOf(r[1].toString());
            double before = 0, after = 0;
            if (r[0].isNull() || f < 0 || !numberIn(r[2], &before) || !numberIn(r[3], &after))
                return;
            out.byAircraft_[data::textKey(r[0].toString())].figures[f] += after - before;
        });
    return out;
}

AircraftUtilisation JournalUtilisation::utilisation(const QString& regNum) const {
    AircraftUtilisation out;
    out.planned = planned_.dailyUse(regNum);
    const utilisation::DailyUtilisation& planned = out.planned;
    const auto it = byAircraft_.constFind(data::textKey(regNum));
    if (it != byAircraft_.constEnd() && it->firstDay.isValid())
        out.journalDays = std::max(0, static_cast<int>(it->firstDay.daysTo(asOf_)));
    if (out.journalDays < kLeastJournalDays) {
        out.use = planned;
        return out;
    }
    out.fromJournal = true;
    out.averagedDays = std::min(days_, out.journalDays);
    for (size_t i = 0; i < kFigures.size(); ++i) {
        out.figureFromJournal[i] = it->journalled[i];
        out.use.*kFigures[i].field = it->journalled[i]
                                         ? std::optional<double>(it->figures[i] / out.averagedDays)
                                         : planned.*kFigures[i].field;
    }
    return out;
}

AircraftUtilisation aircraftUtilisation(data::Database& mainDb, const QString& regNum,
                                        const QDate& asOf, int days) {
    return JournalUtilisation::read(mainDb, asOf, days, regNum).utilisation(regNum);
}

}  // namespace velmora::journal
