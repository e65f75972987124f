#include "OilAlerts.h"

#include "OilLimitsStore.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "data/ValueNumber.h"

#include <cmath>

namespace velmora::oil::limits {

std::optional<double> readingOf(const data::Value& v) {
    const auto d = data::numberIn(v);
    return d && std::isfinite(*d) ? d : std::nullopt;
}

QString sampleDateText(const data::Value& v) {
    const QDate d = v.toDate();
    return d.isValid() ? d.toString(Qt::ISODate) : v.toString().trimmed();
}

std::vector<OilAlert> oilAlerts(data::Database& mainDb) {
    std::vector<OilAlert> out;
    if (!mainDb.hasTable(kOilLimitsTable) || !mainDb.hasTable(QStringLiteral("Oil")))
        return out;
    const LimitBook book = LimitBook::read(mainDb);
    if (book.isEmpty())
        return out;
    QString sql = QStringLiteral("select [RegNum],[Component],[DatePerformed],[EngineHrs]");
    for (const char* name : kElementNames)
        sql += QStringLiteral(",[") + QLatin1String(name) + QLatin1Char(']');
    sql += QStringLiteral(" from [Oil] order by [RegNum],[Component],[DatePerformed]");
    auto rs = mainDb.openRecordset(sql);
    const auto& rows = rs->rows();
    auto sampleAt = [&](size_t i) {
        const auto& values = rows[i].values;
        OilSample s;
        s.date = sampleDateText(values[2]);
        s.hours = readingOf(values[3]);
        for (size_t e = 0; e < static_cast<size_t>(kElementCount); ++e)
            s.ppm[e] = readingOf(values[4 + e]);
        return s;
    };
    auto sameComponent = [&](size_t a, size_t b) {
        return rows[a].values[0].toString().trimmed().compare(
                   rows[b].values[0].toString().trimmed(), Qt::CaseInsensitive) == 0 &&
               rows[a].values[1].toString().trimmed().compare(
                   rows[b].values[1].toString().trimmed(), Qt::CaseInsensitive) == 0;
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        // The newest sample of a component is the last of its rows.
        if (i + 1 < rows.size() && sameComponent(i, i + 1))
            continue;
        const QString reg = rows[i].values[0].toString();
        const QString component = rows[i].values[1].toString();
        const LimitSet limits = resolveLimits(book.levelsFor(reg, component));
        if (isEmpty(limits))
            continue;
        const OilSample newest = sampleAt(i);
        std::optional<OilSample> previous;
        if (i > 0 && sameComponent(i - 1, i))
            previous = sampleAt(i - 1);
        std::vector<Finding> alerts;
        for (const Finding& f : sampleFindings(limits, previous ? &*previous : nullptr, newest)) {
            if (f.level == OilLevel::Alert)
                alerts.push_back(f);
        }
        if (alerts.empty())
            continue;
        out.push_back({reg, component, newest.date, findingsText(alerts)});
    }
    return out;
}

}  // namespace velmora::oil::limits
