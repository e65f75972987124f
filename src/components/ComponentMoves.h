#pragma once

#include "ComponentTypes.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace velmora::data {
class Database;
}

// Moving a component: off its aircraft into stores, from stores onto an aircraft, and its
// overhaul in between. Each is one transaction, recorded in the entry journal with who made
// it and in the component's history; a change refused throws data::DbError (ValidationRule,
// or ItemNotFound for what is not on file) with the reason, and nothing is written.
namespace velmora::components {

struct Removal {
    ComponentKey key;
    QString regNum;  // the aircraft it comes off
    QDate date;
    QString reason;  // "life reached", "overhaul", "defect: ...", "to another aircraft", ...
    Location location = Location::StoresServiceable;
    QString reference;  // work order, release certificate number
};

struct Installation {
    ComponentKey key;
    QString regNum;  // the aircraft it goes on
    int itemNumber = 0;
    int meter = 1;
    QDate date;
    QString reference;
    // A limit already reached is refused (naming it) unless the user was warned and agreed.
    bool acceptReachedLimits = false;
};

struct Overhaul {
    ComponentKey key;
    QDate date;
    QString kind = kOverhauled;  // or inspected, repaired
    // The limits whose life used starts again at zero, by basis code ("OH"); a months limit
    // reset counts from the event's date.
    QStringList resetBases;
    QString reason, reference;
};

// Takes a component off its aircraft: its Parts rows leave the aircraft and go to the
// stores with, per limit, the life used at that moment; the event is recorded with the
// aircraft's totals. today is the day the date may not lie after.
ComponentEvent removeComponent(data::Database& mainDb, const Removal& removal, const QDate& today);

// The limits of a stored component that are reached or passed on the day given, described
// for the warning ("RT 5000 hours (meter 1): 12.5 hours over").
QStringList reachedLimits(const StoredComponent& component, const QDate& day);

// Fits a component from the stores to an aircraft: its rows are written with the life used
// carried over as the life at installation and the aircraft's totals now as the totals at
// installation, so what remains is what remained at removal; a months limit keeps counting
// from its date.
ComponentEvent installComponent(data::Database& mainDb, const Installation& installation,
                                const QDate& today);

// Records an overhaul (inspection, repair) of a component in stores or at the shop, setting
// the life used of the limits named back to zero.
ComponentEvent overhaulComponent(data::Database& mainDb, const Overhaul& overhaul,
                                 const QDate& today);

}  // namespace velmora::components
