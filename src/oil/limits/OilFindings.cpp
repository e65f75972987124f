#include "OilFindings.h"

#include "data/DateDisplay.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace velmora::oil::limits {

OilLevel ppmLevel(const ElementLimit& limit, std::optional<double> ppm) {
    if (!ppm)
        return OilLevel::None;
    if (limit.alert && *ppm >= *limit.alert)
        return OilLevel::Alert;
    if (limit.caution && *ppm >= *limit.caution)
        return OilLevel::Caution;
    return OilLevel::None;
}

std::optional<double> risePer100Hours(const OilSample& previous, const OilSample& sample,
                                      int element) {
    if (element < 0 || element >= kElementCount)
        return std::nullopt;
    const auto& before = previous.ppm[static_cast<size_t>(element)];
    const auto& now = sample.ppm[static_cast<size_t>(element)];
    if (!before || !now || !previous.hours || !sample.hours)
        return std::nullopt;
    const double hours = *sample.hours - *previous.hours;
    if (!(hours > 0))
        return std::nullopt;
    return (*now - *before) / hours * 100.0;
}

Finding judgeReading(const ElementLimit& limit, const OilSample* previous, const OilSample& sample,
                     int element) {
    Finding f;
    f.element = element;
    if (element < 0 || element >= kElementCount)
        return f;
    const auto ppm = sample.ppm[static_cast<size_t>(element)];
    const OilLevel level = ppmLevel(limit, ppm);
    if (level != OilLevel::None) {
        f.level = level;
        f.value = *ppm;
        f.limit = level == OilLevel::Alert ? *limit.alert : *limit.caution;
        f.equal = f.value == f.limit;
        return f;
    }
    if (limit.cautionRise && previous) {
        const auto rise = risePer100Hours(*previous, sample, element);
        if (rise && *rise >= *limit.cautionRise) {
            f.level = OilLevel::Caution;
            f.byRise = true;
            f.value = *rise;
            f.limit = *limit.cautionRise;
            f.equal = f.value == f.limit;
        }
    }
    return f;
}

std::vector<Finding> sampleFindings(const LimitSet& limits, const OilSample* previous,
                                    const OilSample& sample) {
    std::vector<Finding> out;
    for (int e = 0; e < kElementCount; ++e) {
        Finding f = judgeReading(limits[static_cast<size_t>(e)], previous, sample, e);
        if (f.level != OilLevel::None)
            out.push_back(f);
    }
    auto share = [](const Finding& f) {
        return f.limit > 0 ? f.value / f.limit : (f.value > 0 ? 1e300 : 1.0);
    };
    std::stable_sort(out.begin(), out.end(), [&](const Finding& a, const Finding& b) {
        if (a.level != b.level)
            return a.level > b.level;
        return share(a) > share(b);
    });
    return out;
}

QString ppmText(double v) {
    const double rounded = std::round(v * 10.0) / 10.0;
    QString text = QLocale::c().toString(rounded, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

QString findingText(const Finding& f) {
    if (f.level == OilLevel::None)
        return {};
    const QString levelName =
        f.level == OilLevel::Alert ? QStringLiteral("alert") : QStringLiteral("caution");
    const QString relation = f.equal ? QStringLiteral("at") : QStringLiteral("over");
    const QString value = f.byRise ? (f.value >= 0 ? QStringLiteral("+") : QString()) +
                                         ppmText(f.value) + QStringLiteral(" ppm per 100 h")
                                   : ppmText(f.value) + QStringLiteral(" ppm");
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(elementName(f.element), value, relation, levelName, ppmText(f.limit));
}

QString findingsText(const std::vector<Finding>& findings) {
    QStringList parts;
    for (const Finding& f : findings)
        parts << findingText(f);
    return parts.join(QStringLiteral("; "));
}

QString newestSampleLine(const LimitSet& limits, const std::vector<OilSample>& samples) {
    if (samples.empty())
        return {};
    if (isEmpty(limits))
        return QStringLiteral("No oil limits are set for this component.");
    const OilSample& newest = samples.back();
    const OilSample* previous = samples.size() > 1 ? &samples[samples.size() - 2] : nullptr;
    const auto findings = sampleFindings(limits, previous, newest);
    const QString when = newest.date.trimmed().isEmpty()
                             ? QStringLiteral("Newest sample")
                             : QStringLiteral("Newest sample (%1)")
                                   .arg(data::displayDateText(newest.date.trimmed()));
    if (findings.empty())
        return when + QStringLiteral(": within its limits.");
    return when + QStringLiteral(": ") + findingsText(findings);
}

}  // namespace velmora::oil::limits
