#pragma once

#include "OilLimits.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace velmora::oil::limits {

// How far a reading goes: within its limits, at or over the caution (level or rise), at or
// over the alert level. Reaching a level counts: a reading equal to the alert is an alert.
enum class OilLevel { None, Caution, Alert };

// One oil sample as judged: its date as shown, its engine hours and its readings in ppm;
// unset where the sample holds nothing (or text that is no number).
struct OilSample {
    QString date;
    std::optional<double> hours;
    std::array<std::optional<double>, kElementCount> ppm{};
};

// The level of a reading against the caution and alert levels alone.
OilLevel ppmLevel(const ElementLimit& limit, std::optional<double> ppm);

// The rise of an element from one sample to the next, in ppm per 100 engine hours. Nothing
// when either reading or either engine hours figure is missing, or when the hours do not
// grow (equal hours, or a later sample with fewer hours): no rate can be told then.
std::optional<double> risePer100Hours(const OilSample& previous, const OilSample& sample,
                                      int element);

// What one reading of a sample amounts to, given the sample before it (if any).
struct Finding {
    int element = -1;
    OilLevel level = OilLevel::None;
    bool byRise = false;  // the rise, not the reading, reached the caution
    double value = 0;     // the reading in ppm, or the rise per 100 h
    double limit = 0;     // the level it reached
    bool equal = false;   // the value is at the limit, not over it
};

// The worst finding of an element in a sample: the alert level first, then the caution
// level, then the caution rise. Level None when the reading is within every limit.
Finding judgeReading(const ElementLimit& limit, const OilSample* previous, const OilSample& sample,
                     int element);

// Every element of a sample that reaches a limit, the worst first: alerts before cautions,
// then the furthest over (as a share of the limit), then in element order.
std::vector<Finding> sampleFindings(const LimitSet& limits, const OilSample* previous,
                                    const OilSample& sample);

// "Iron 42 ppm over alert 35", "Copper +9 ppm per 100 h over caution 5", "Lead 10 ppm at
// caution 10".
QString findingText(const Finding& f);
// The findings joined with "; ".
QString findingsText(const std::vector<Finding>& findings);

// The line under the sample grid about the newest of the samples (in the order given, oldest
// first): its findings, or that it is within its limits, or that no limits are set. Empty
// when there are no samples.
QString newestSampleLine(const LimitSet& limits, const std::vector<OilSample>& samples);

// A number as the findings write it: at most one decimal, no trailing zero.
QString ppmText(double v);

}  // namespace velmora::oil::limits
