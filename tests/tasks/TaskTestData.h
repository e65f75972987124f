#pragma once

#include "data/Database.h"
#include "tasks/TaskTypes.h"
#include "utilisation/UtilisationSource.h"

#include <QString>

namespace velmora::testing {

// Every aircraft flies 5 hours and makes 10 landings a day.
class SteadyUse final : public utilisation::UtilisationSource {
  public:
    utilisation::DailyUtilisation dailyUse(const QString&) const override {
        utilisation::DailyUtilisation u;
        u.meter1Hours = 5;
        u.landings = 10;
        return u;
    }
};

// Gives an aircraft row its make, model, serial number and year.
void describeAircraft(data::Database& db, const QString& reg, const QString& make,
                      const QString& model, const QString& serial, const QString& year = {});

// A directive of a make and model, effective 1 January 2025, recurring every 100 hours.
tasks::Task directive(const QString& number, const QString& make, const QString& model = {});
// A directive of a part number, effective 1 January 2025, recurring every 500 landings.
tasks::Task partDirective(const QString& number, const QString& partNumber);

}  // namespace velmora::testing
