#include "JetCurrency.h"

#include "JetArithmetic.h"

#include <cmath>

namespace velmora::data {

Value jetCurrency(const Value& v) {
    double d = 0;
    switch (v.type()) {
        case Value::Type::Null:
            return {};
        case Value::Type::Integer:
        case Value::Type::Real:
            d = v.toDouble();
            break;
        case Value::Type::Text:
            if (!Value::parseNumber(v.toString().trimmed(), &d))
                throw jetRuntimeError(err::TypeMismatch,
                                      QStringLiteral("CCur(\"%1\")").arg(v.toString().left(40)));
            break;
    }
    // Currency is a whole number of ten-thousandths in 64 bits.
    constexpr double kLimit = 922337203685477.5807;
    const double scaled = d * 10000.0;
    if (!std::isfinite(scaled) || std::fabs(d) > kLimit)
        throw jetRuntimeError(err::Overflow, QStringLiteral("CCur(%1)").arg(v.toString().left(40)));
    // The product rounded half to even, as the processor rounds by default.
    return Value(std::nearbyint(scaled) / 10000.0);
}

}  // namespace velmora::data
