#pragma once

#include "data/Value.h"

namespace velmora::remaining {

// "Date to Retire" as the remaining-life query gives it: the date DateAdd('m', LifeNumber,
// InstallDate) written "mm/dd/yy". Two year digits read back as 1930 to 2029, so a component
// due in 2032 would look long overdue. The date with its century is worked out again from the
// component's install date and its life in months, and returned as a date (ISO text) when it
// is the date the text shows; any other value (the blank of the other life bases, a text that
// does not match) is returned as it stands.
data::Value retirementDate(const data::Value& shown, const data::Value& installDate,
                           const data::Value& lifeMonths);

}  // namespace velmora::remaining
