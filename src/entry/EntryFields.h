#pragma once

#include "EntryRules.h"

#include <array>
#include <optional>

// The entry fields of the two screens that enter meter readings and totals: each field by
// the index of its box in the screen's txtFields, with the column it shows, the rule that
// runs when the user leaves it changed, and the field the Enter key moves on to.
namespace velmora::entry {

// What leaving a changed field does.
enum class FieldRule {
    Registration,  // the registration number: capitals, and the aircraft chooser follows
    Text,          // any other text of the aircraft
    Meter1,        // a reading of time meter 1 or 2 (applyMeterRule)
    Meter2,
    TotalTime,  // an airframe total (applyTotalRule)
    TotalLandings,
    TotalCycles,
    TotalRIN,
};

// The aircraft set-up screen's fields, boxes 0 to 8 in order; 8 (the owner's name and
// address) is a box of several lines, and there are no fields 9 and 10.
enum class AircraftSetupField {
    RegNum = 0,
    SerialNumber,
    Make,
    Model,
    Year,
    Engine1Serial,
    Engine2Serial,
    CurrentMeter2,
    Owner,
    CurrentMeter1 = 11,
    TotalTime,
    TotalLandings,
    TotalCycles,
    TotalRIN,
};

// The time remaining screen's fields (its registration number is the aircraft chooser),
// each group in consecutive boxes.
enum class TimeRemainingField {
    Make = 1,
    Model,
    Engine1Serial = 4,
    Engine2Serial,
    SerialNumber,
    CurrentMeter1 = 9,
    CurrentMeter2,
    TotalTime,
    TotalLandings = 13,
    TotalCycles,
    TotalRIN,
};

template <typename Field>
struct EntryField {
    Field field;
    const char* column;
    FieldRule rule;
    std::optional<Field> next;  // where Enter moves the focus; none: it stays
};

extern const std::array<EntryField<AircraftSetupField>, 14> kAircraftSetupFields;
extern const std::array<EntryField<TimeRemainingField>, 11> kTimeRemainingFields;

// The index of a field's box in txtFields.
constexpr int fieldIndex(AircraftSetupField f) {
    return static_cast<int>(f);
}
constexpr int fieldIndex(TimeRemainingField f) {
    return static_cast<int>(f);
}

// A screen's field by its index; null for an index the screen has no field of.
const EntryField<AircraftSetupField>* aircraftSetupField(int index);
const EntryField<TimeRemainingField>* timeRemainingField(int index);

// Runs the meter or total rule of a field; the registration and text rules are the
// screens' own and do nothing here.
void applyFieldRule(EntryHost& host, FieldRule rule, EntryScreen screen);

}  // namespace velmora::entry
