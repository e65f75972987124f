#pragma once

#include "OilFindings.h"

#include <QString>

#include <vector>

namespace velmora::oil::limits {

// A horizontal line across the chart at a limit of the element shown.
struct LimitLine {
    QString label;  // "Caution 20 ppm", "Alert 35 ppm"
    double value = 0;
    OilLevel level = OilLevel::Caution;
    bool operator==(const LimitLine&) const = default;
};

// A charted sample that reaches a limit: its chart row (counted from 0) and value.
struct MarkedPoint {
    int row = 0;
    double value = 0;
    OilLevel level = OilLevel::Caution;
    bool operator==(const MarkedPoint&) const = default;
};

struct ChartLimits {
    std::vector<LimitLine> lines;
    std::vector<MarkedPoint> marks;
    bool operator==(const ChartLimits&) const = default;
};

// The limit lines of one element and the points to mark among the charted samples
// (samples[first..last], oldest first; the sample before first, when there is one, serves
// for the rise of the first charted one). Marks follow the grid's colours: a point whose
// reading or rise reaches a limit.
ChartLimits chartLimits(const ElementLimit& limit, const std::vector<OilSample>& samples, int first,
                        int last, int element);

}  // namespace velmora::oil::limits
