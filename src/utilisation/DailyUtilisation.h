#pragma once

#include <optional>

namespace velmora::utilisation {

// What an aircraft accumulates on an average day: flight hours on each time meter,
// landings, cycles and RIN. A figure is unknown when nothing tells it; zero when the
// aircraft is known not to be used.
struct DailyUtilisation {
    std::optional<double> meter1Hours;
    std::optional<double> meter2Hours;
    std::optional<double> landings;
    std::optional<double> cycles;
    std::optional<double> rin;

    bool operator==(const DailyUtilisation&) const = default;
};

}  // namespace velmora::utilisation
