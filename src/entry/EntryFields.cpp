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

// A field without the field Enter moves on to.
template <typename Field>
struct FieldInTurn {
    Field field;
    const char* column;
    FieldRule rule;
};

// Fields that Enter moves through in the order given, from the last back to the first.
template <typename Field, size_t N>
std::array<EntryField<Field>, N> inTurn(const std::array<FieldInTurn<Field>, N>& fields) {
    std::array<EntryField<Field>, N> out{};
    for (size_t i = 0; i < N; ++i) {
        const FieldInTurn<Field>& f = fields[i];
        out[i] = {f.field, f.column, f.rule, fields[(i + 1) % N].field};
    }
    return out;
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

const std::array<EntryField<TimeRemainingField>, 11> kTimeRemainingFields =
    inTurn<TimeRemainingField, 11>({{
        {TimeRemainingField::SerialNumber, "Serial Number", FieldRule::Text},
        {TimeRemainingField::Make, "Make", FieldRule::Text},
        {TimeRemainingField::Model, "Model", FieldRule::Text},
        {TimeRemainingField::Engine1Serial, "Engine1Serial", FieldRule::Text},
        {TimeRemainingField::Engine2Serial, "Engine2Serial", FieldRule::Text},
        {TimeRemainingField::CurrentMeter1, "CurrentMeter1", FieldRule::Meter1},
        {TimeRemainingField::CurrentMeter2, "CurrentMeter2", FieldRule::Meter2},
        {TimeRemainingField::TotalTime, "TotalTime", FieldRule::TotalTime},
        {TimeRemainingField::TotalLandings, "TotalLandings", FieldRule::TotalLandings},
        {TimeRemainingField::TotalCycles, "TotalCycles", FieldRule::TotalCycles},
        {TimeRemainingField::TotalRIN, "TotalRIN", FieldRule::TotalRIN},
    }});

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
