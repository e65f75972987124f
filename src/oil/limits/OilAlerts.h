#pragma once

#include "OilFindings.h"

#include "data/Value.h"

#include <QString>

#include <optional>
#include <vector>

namespace velmora::data {
class Database;
}

namespace velmora::oil::limits {

// The number a sample cell holds; nothing for Null and for text that is no number.
std::optional<double> readingOf(const data::Value& v);
// A sample's date as the findings name it: yyyy-MM-dd for a date, else its text.
QString sampleDateText(const data::Value& v);

// A component whose newest oil sample reaches an alert level.
struct OilAlert {
    QString regNum;
    QString component;
    QString date;      // of the newest sample
    QString findings;  // its alert findings, worst first
};

// Every component of the main data file (Timemgr.mdb) whose newest sample, by date,
// reaches the alert level of an element under the limits that hold for it; by registration
// and component. None when the file keeps no limits. Throws data::DbError when the file
// cannot be read.
std::vector<OilAlert> oilAlerts(data::Database& mainDb);

}  // namespace velmora::oil::limits
