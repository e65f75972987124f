#include "EntryFields.h"

#include <algorithm>

namespace velmora::entry {

namespace {

template <typename Field, size_t N>
const EntryField<Field>* findField(const std::array<EntryField<Field>, N>& fields, int index) {
    const auto it = std::find_if(fields.begin(), fields.end(), [index](const EntryField<Field>& f) {
        return static_cast<int>(f.field) == index;
    });
    return it == fields.end() ? nullptr : &*it;
}

template <typename Field>
int nextIndex(const EntryField<Field>* f) {
    return f && f->next ? static_cast<int>(*f->next) : -1;
}

}  // namespace

const std::array<EntryField<AircraftSetupField>, 14> kAircraftSetupFields = {{
    {AircraftSetupField::RegNum, "RegNum", FieldRule::Registration,
     AircraftSetupField::SerialNumber},
    {AircraftSetupField::SerialNumber, "Serial Number", FieldRule::Text, AircraftSetupField::Year},
    {AircraftSetupField::Make, "Make", FieldRule::Text, AircraftSetupField::Model},
    {AircraftSetupField::Model, "Model", FieldRule::Text, AircraftSetupField::Engine1Serial},
    {AircraftSetupField::Year, "Year", FieldRule::Text, std::nullopt},
    {AircraftSetupField::Engine1Serial, "Engine1Serial", FieldRule::Text,
     AircraftSetupField::Engine2Serial},
    {AircraftSetupField::Engine2Serial, "Engine2Serial", FieldRule::Text,
     AircraftSetupField::CurrentMeter1},
    {AircraftSetupField::CurrentMeter2, "CurrentMeter2", FieldRule::Meter2,
     AircraftSetupField::TotalTime},
    {AircraftSetupField::Owner, "Owner", FieldRule::Text, std::nullopt},
    {AircraftSetupField::CurrentMeter1, "CurrentMeter1", FieldRule::Meter1,
     AircraftSetupField::CurrentMeter2},
    {AircraftSetupField::TotalTime, "TotalTime", FieldRule::TotalTime,
     AircraftSetupField::TotalLandings},
    {AircraftSetupField::TotalLandings, "TotalLandings", FieldRule::TotalLandings,
     AircraftSetupField::TotalCycles},
    {AircraftSetupField::TotalCycles, "TotalCycles", FieldRule::TotalCycles,
     AircraftSetupField::TotalRIN},
    {AircraftSetupField::TotalRIN, "TotalRIN", FieldRule::TotalRIN,
     AircraftSetupField::SerialNumber},
}};

const std::array<EntryField<TimeRemainingField>, 11> kTimeRemainingFields = {{
    {TimeRemainingField::SerialNumber, "Serial Number", FieldRule::Text, TimeRemainingField::Make},
    {TimeRemainingField::Make, "Make", FieldRule::Text, TimeRemainingField::Model},
    {TimeRemainingField::Model, "Model", FieldRule::Text, TimeRemainingField::Engine1Serial},
    {TimeRemainingField::Engine1Serial, "Engine1Serial", FieldRule::Text,
     TimeRemainingField::Engine2Serial},
    {TimeRemainingField::Engine2Serial, "Engine2Serial", FieldRule::Text,
     TimeRemainingField::CurrentMeter1},
    {TimeRemainingField::CurrentMeter1, "CurrentMeter1", FieldRule::Meter1,
     TimeRemainingField::CurrentMeter2},
    {TimeRemainingField::CurrentMeter2, "CurrentMeter2", FieldRule::Meter2,
     TimeRemainingField::TotalTime},
    {TimeRemainingField::TotalTime, "TotalTime", FieldRule::TotalTime,
     TimeRemainingField::TotalLandings},
    {TimeRemainingField::TotalLandings, "TotalLandings", FieldRule::TotalLandings,
     TimeRemainingField::TotalCycles},
    {TimeRemainingField::TotalCycles, "TotalCycles", FieldRule::TotalCycles,
     TimeRemainingField::TotalRIN},
    {TimeRemainingField::TotalRIN, "TotalRIN", FieldRule::TotalRIN,
     TimeRemainingField::SerialNumber},
}};

const EntryField<AircraftSetupField>* aircraftSetupField(int index) {
    return findField(kAircraftSetupFields, index);
}

const EntryField<TimeRemainingField>* timeRemainingField(int index) {
    return findField(kTimeRemainingFields, index);
}

void applyFieldRule(EntryHost& host, FieldRule rule, EntryScreen screen) {
    switch (rule) {
        case FieldRule::Meter1:
            applyMeterRule(host, 1, screen);
            break;
        case FieldRule::Meter2:
            applyMeterRule(host, 2, screen);
            break;
        case FieldRule::TotalTime:
            applyTotalRule(host, Total::FlightTime);
            break;
        case FieldRule::TotalLandings:
            applyTotalRule(host, Total::Landings);
            break;
        case FieldRule::TotalCycles:
            applyTotalRule(host, Total::Cycles);
            break;
        case FieldRule::TotalRIN:
            applyTotalRule(host, Total::RIN);
            break;
        case FieldRule::Registration:
        case FieldRule::Text:
            break;
    }
}

int nextFieldOnEnter(EntryScreen screen, int index) {
    return screen == EntryScreen::AircraftSetup ? nextIndex(aircraftSetupField(index))
                                                : nextIndex(timeRemainingField(index));
}

}  // namespace velmora::entry
