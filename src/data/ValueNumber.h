#pragma once

#include "Value.h"

#include <optional>

namespace velmora::data {

// The number a value holds: a number as it is, text when it reads as one (as the engine
// stores numbers); nothing for Null and for any other text.
inline std::optional<double> numberIn(const Value& v) {
    if (v.isNumber())
        return v.toDouble();
    double d = 0;
    if (v.type() == Value::Type::Text && Value::parseNumber(v.toString(), &d))
        return d;
    return std::nullopt;
}

}  // namespace velmora::data
