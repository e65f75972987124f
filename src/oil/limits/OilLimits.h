#pragma once

#include "OilElements.h"

#include <QString>

#include <array>
#include <optional>

namespace velmora::oil::limits {

// The limits of one element: a caution and an alert level in ppm, and the rise between two
// consecutive samples, in ppm per 100 engine hours, that calls for caution. Each may be
// unset (no limit).
struct ElementLimit {
    std::optional<double> caution;
    std::optional<double> alert;
    std::optional<double> cautionRise;

    bool isEmpty() const { return !caution && !alert && !cautionRise; }
    bool operator==(const ElementLimit&) const = default;
};

// The limits of every element, by element index.
using LimitSet = std::array<ElementLimit, kElementCount>;

bool isEmpty(const LimitSet& set);

// Where limits are kept: for one component of one aircraft, for every component of that
// name on the aircraft of a make and model, and for the whole company.
enum class LimitScope { Component, Model, Company };
QString scopeName(LimitScope scope);

// The limits kept at each scope for one component.
struct LimitLevels {
    LimitSet component{};
    LimitSet model{};
    LimitSet company{};

    const LimitSet& of(LimitScope scope) const;
};

// The limits that hold for a component: per element, those of the component where it has
// any for that element, else those of its make and model, else the company's. An element
// takes its three values from one scope together, so that a caution is never judged
// against an alert kept for something else. from (when given) says which scope; nothing
// when no scope has any.
ElementLimit resolveLimit(const LimitLevels& levels, int element,
                          std::optional<LimitScope>* from = nullptr);
LimitSet resolveLimits(const LimitLevels& levels);

// Why a limit cannot be kept (a value below zero or not finite, a caution above the alert);
// empty when it can.
QString limitProblem(const ElementLimit& limit);

}  // namespace velmora::oil::limits
