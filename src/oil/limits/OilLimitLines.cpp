#include "OilLimitLines.h"

#include <algorithm>

namespace velmora::oil::limits {

ChartLimits chartLimits(const ElementLimit& limit, const std::vector<OilSample>& samples, int first,
                        int last, int element) {
    ChartLimits out;
    if (element < 0 || element >= kElementCount)
        return out;
    if (limit.caution)
        out.lines.push_back({QStringLiteral("Caution %1 ppm").arg(ppmText(*limit.caution)),
                             *limit.caution, OilLevel::Caution});
    if (limit.alert)
        out.lines.push_back({QStringLiteral("Alert %1 ppm").arg(ppmText(*limit.alert)),
                             *limit.alert, OilLevel::Alert});
    const int n = static_cast<int>(samples.size());
    for (int r = std::max(0, first); r <= last && r < n; ++r) {
        const OilSample* previous = r > 0 ? &samples[static_cast<size_t>(r - 1)] : nullptr;
        const Finding f = judgeReading(limit, previous, samples[static_cast<size_t>(r)], element);
        if (f.level == OilLevel::None)
            continue;
        out.marks.push_back({r - first,
                             *samples[static_cast<size_t>(r)].ppm[static_cast<size_t>(element)],
                             f.level});
    }
    return out;
}

}  // namespace velmora::oil::limits
