#pragma once

#include <span>

namespace velmora::demo {

// What kind of aircraft a model is; catalog items name the kinds they belong on.
enum Trait : unsigned {
    kHelicopter = 1u << 0,
    kFixedWing = 1u << 1,
    kPiston = 1u << 2,
    kTurbine = 1u << 3,
    kTwin = 1u << 4,
};

// The kind of oil a component runs on, which sets its usual oil analysis readings.
enum class OilKind { None, PistonEngine, TurbineEngine, Gearbox };

// One life-limited component or recurring task as an operator lists it.
struct CatalogItem {
    const char* assembly;
    const char* description;
    // A part number; one starting with '-' is the airframe maker's and gets the model's
    // prefix ("-1110-1" on the HR-42 becomes "HR42-1110-1").
    const char* partNumber;
    const char* manufacturer;  // null for the airframe maker
    const char* inspection;    // the inspection group it is checked in
    const char* basis;         // RT, OH, IN, MO, LD, CY or RN
    double life;
    int meter;
    double cost;
    unsigned needs;  // the traits an aircraft must have for the item to apply
    OilKind oil = OilKind::None;
    bool perEngine = false;  // listed once per engine on a twin
    bool optional = false;   // optional equipment: unnumbered (item 0) in the template
};

// Every item of the catalog; an aircraft takes those whose needs its traits meet.
std::span<const CatalogItem> componentCatalog();

inline bool appliesTo(const CatalogItem& item, unsigned traits) {
    return (item.needs & traits) == item.needs;
}

}  // namespace velmora::demo
