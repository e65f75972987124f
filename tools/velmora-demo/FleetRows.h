#pragma once

#include <QDate>
#include <QString>

#include <array>

namespace velmora::demo {

// One row of the Aircraft table of the main data file.
struct AircraftRow {
    QString regNum;
    QString serialNumber;
    QString make;
    QString model;
    QString year;
    QString engine1Serial;
    QString engine2Serial;  // null text for a single-engine aircraft
    QString owner;
    double currentMeter1 = 0, currentMeter2 = 0;
    double lastMeter1 = 0, lastMeter2 = 0;
    double totalTime = 0, totalTime2 = 0;
    int totalLandings = 0, totalCycles = 0, totalRin = 0;
    bool trackLandings = true, trackCycles = true, trackRin = true, hobbsVsTach = false;
    double forecastMeter1 = 0, forecastMeter2 = 0, forecastMonths = 0;
    double forecastCycles = 0, forecastLandings = 0, forecastRin = 0;
    bool showPurchase = true, showInspection = true, showAssembly = true;
    bool showManufacturer = true, showCost = true, showRin = true, showCycles = true;
    bool showLandings = true;
};

// One row of the Parts table: a component of an aircraft and what it has used of its life.
struct ComponentRow {
    QString regNum;
    int itemNumber = 0;
    int meterNumber = 1;
    bool active = true;
    QString assembly;
    QString description;
    QString partNumber;
    QString serial;
    QDate datePurchased;
    QString manufacturer;
    QString inspection;
    double replaceCost = 0;
    double reservePerHour = 0;
    double lifeNumber = 0;
    QString lifeBasis;
    QDate installDate;
    double installTimeLeft = 0;
    double installAcHour = 0;
    QString notes;  // null text for none
    bool oilAnalysis = false;
};

// The wear metals and additives an oil sample reports, in the Oil table's column order.
inline constexpr int kOilElementCount = 21;
inline constexpr std::array<const char*, kOilElementCount> kOilElements = {
    "Iron",       "Chromium", "Nickel",  "Aluminum", "Lead",      "Copper",    "Tin",
    "Silver",     "Titanium", "Silicon", "Boron",    "Sodium",    "Potassium", "Molybdenum",
    "Phosphorus", "Zinc",     "Calcium", "Barium",   "Magnesium", "Antimony",  "Vanadium"};

// One row of the Oil table: a spectrometric oil analysis of a component.
struct OilSampleRow {
    QString regNum;
    QString component;  // the component's description
    QDate datePerformed;
    std::array<double, kOilElementCount> ppm{};
    double engineHours = 0;
};

// One row of a make's template table in the template file.
struct TemplateRow {
    int itemNumber = 0;
    QString model;
    int year = 0;
    QString manufacturer;
    QString description;
    QString partNum;
    QString assembly;
    double tbo = 0;
    QString basis;
    double cost = 0;
};

}  // namespace velmora::demo
