#include "OilLimits.h"

#include <cmath>

namespace velmora::oil::limits {

bool isEmpty(const LimitSet& set) {
    for (const ElementLimit& l : set) {
        if (!l.isEmpty())
            return false;
    }
    return true;
}

QString scopeName(LimitScope scope) {
    switch (scope) {
        case LimitScope::Component:
            return QStringLiteral("this component");
        case LimitScope::Model:
            return QStringLiteral("the make and model");
        case LimitScope::Company:
            return QStringLiteral("the company defaults");
    }
    return {};
}

const LimitSet& LimitLevels::of(LimitScope scope) const {
    switch (scope) {
        case LimitScope::Component:
            return component;
        case LimitScope::Model:
            return model;
        case LimitScope::Company:
            break;
    }
    return company;
}

ElementLimit resolveLimit(const LimitLevels& levels, int element, std::optional<LimitScope>* from) {
    if (from)
        from->reset();
    if (element < 0 || element >= kElementCount)
        return {};
    for (LimitScope scope : {LimitScope::Component, LimitScope::Model, LimitScope::Company}) {
        const ElementLimit& l = levels.of(scope)[static_cast<size_t>(element)];
        if (!l.isEmpty()) {
            if (from)
                *from = scope;
            return l;
        }
    }
    return {};
}

LimitSet resolveLimits(const LimitLevels& levels) {
    LimitSet out{};
    for (int e = 0; e < kElementCount; ++e)
        out[static_cast<size_t>(e)] = resolveLimit(levels, e);
    return out;
}

QString limitProblem(const ElementLimit& limit) {
    const std::pair<const std::optional<double>*, const char*> values[] = {
        {&limit.caution, "caution level"},
        {&limit.alert, "alert level"},
        {&limit.cautionRise, "caution rise"},
    };
    for (const auto& [v, name] : values) {
        if (*v && (!std::isfinite(**v) || **v < 0))
            return QStringLiteral("The %1 must be a number not below zero.")
                .arg(QLatin1String(name));
    }
    if (limit.caution && limit.alert && *limit.caution > *limit.alert)
        return QStringLiteral("The caution level must not be above the alert level.");
    return {};
}

}  // namespace velmora::oil::limits
