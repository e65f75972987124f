#pragma once

#include "DailyUtilisation.h"

#include <QString>

namespace velmora::utilisation {

// Where the daily use of an aircraft comes from: planned figures kept with the data, or
// figures derived from what was recorded. The due list asks it once per aircraft.
class UtilisationSource {
  public:
    virtual ~UtilisationSource() = default;

    // The daily use of the aircraft with this registration, compared as the engine compares
    // text (letter case and trailing blanks do not count). Every figure is unknown for an
    // aircraft the source knows nothing of.
    virtual DailyUtilisation dailyUse(const QString& regNum) const = 0;
};

// A source that knows nothing: every figure unknown.
class NoUtilisation final : public UtilisationSource {
  public:
    DailyUtilisation dailyUse(const QString&) const override { return {}; }
};

}  // namespace velmora::utilisation
