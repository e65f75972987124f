#include "JetArithmetic.h"

#include "JetDates.h"
#include "JetText.h"

#include <cmath>
#include <limits>
#include <optional>

namespace velmora::data {

namespace {

// What an operand of an arithmetic operator is.
struct Operand {
    enum class Kind { Null, Number, Date, Text } kind = Kind::Null;
    double number = 0;
    bool whole = false;  // a whole number given as one (not read from text)
    std::int64_t integer = 0;
    QDateTime date;
};

// The forms the engine stores dates in: "2005-01-31" and "2005-01-31 14:30:00".
bool looksLikeStoredDate(const QString& t) {
    if (t.size() != 10 && t.size() != 19)
        return false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        const bool digit = c.isDigit();
        if (i == 4 || i == 7) {
            if (c != u'-')
                return false;
        } else if (i == 10) {
            if (c != u' ')
                return false;
        } else if (i == 13 || i == 16) {
            if (c != u':')
                return false;
        } else if (!digit) {
            return false;
        }
    }
    return true;
}

Operand operand(const Value& v) {
    Operand o;
    switch (v.type()) {
        case Value::Type::Null:
            break;
        case Value::Type::Integer:
            o.kind = Operand::Kind::Number;
            o.whole = true;
            o.integer = v.toInt();
            o.number = static_cast<double>(o.integer);
            break;
        case Value::Type::Real:
            o.kind = Operand::Kind::Number;
            o.number = v.toDouble();
            break;
        case Value::Type::Text: {
            const QString t = v.toString();
            if (Value::parseNumber(t, &o.number)) {
                o.kind = Operand::Kind::Number;
            } else if (looksLikeStoredDate(t)) {
                const auto d = parseJetDateTime(t);
                o.kind = d ? Operand::Kind::Date : Operand::Kind::Text;
                if (d)
                    o.date = *d;
            } else {
                o.kind = Operand::Kind::Text;
            }
            break;
        }
    }
    return o;
}

[[noreturn]] void mismatch(const char* op, const Value& a, const Value& b) {
    auto shown = [](const Value& v) {
        const QString s = v.toString();
        return v.type() == Value::Type::Text ? u'"' + s.left(40) + u'"' : s;
    };
    throw jetRuntimeError(err::TypeMismatch,
                          QStringLiteral("%1 %2 %3").arg(shown(a), QLatin1String(op), shown(b)));
}

Value numberResult(double d, const char* what) {
    return Value(finiteOrOverflow(d, what));
}

// Whole numbers given as such stay whole while they fit 64 bits, as in SQLite.
std::optional<Value> wholeResult(const Operand& x, const Operand& y,
                                 bool (*op)(std::int64_t, std::int64_t, std::int64_t*)) {
    std::int64_t r = 0;
    if (x.whole && y.whole && !op(x.integer, y.integer, &r))
        return Value(r);
    return std::nullopt;
}

bool addOverflows(std::int64_t a, std::int64_t b, std::int64_t* r) {
    return __builtin_add_overflow(a, b, r);
}
bool subOverflows(std::int64_t a, std::int64_t b, std::int64_t* r) {
    return __builtin_sub_overflow(a, b, r);
}
bool mulOverflows(std::int64_t a, std::int64_t b, std::int64_t* r) {
    return __builtin_mul_overflow(a, b, r);
}

// A date moved by a number of days (fractions are hours, minutes and seconds).
Value shiftedDate(const QDateTime& date, double days) {
    const double seconds = std::nearbyint(days * 86400.0);
    // Beyond about 27,000 years either way no date of the engine's range can be reached.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e12)
        throw jetRuntimeError(err::Overflow,
                              QStringLiteral("a date moved by %1 days").arg(jetNumberText(days)));
    const QDateTime moved = date.addSecs(static_cast<qint64>(seconds));
    if (!moved.isValid() || !isJetDateInRange(moved.date()))
        throw jetRuntimeError(err::Overflow,
                              QStringLiteral("a date moved by %1 days is beyond the year 9999 "
                                             "or before the year 100")
                                  .arg(jetNumberText(days)));
    return Value(storedDateText(moved));
}

// Jet's "\" and Mod work on Long numbers: a side beyond them is an overflow.
bool wholeOperand(const Value& v, std::int64_t* out) {
    const double r = v.type() == Value::Type::Integer ? static_cast<double>(v.toInt())
                                                      : std::nearbyint(operand(v).number);
    if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0)
        return false;
    *out = static_cast<std::int64_t>(r);
    return true;
}

// Both sides of "\" or Mod as whole numbers; false when either is Null.
bool wholeOperands(const Value& a, const Value& b, const char* op, std::int64_t* x,
                   std::int64_t* y) {
    if (a.isNull() || b.isNull())
        return false;
    for (const Value* v : {&a, &b}) {
        const Operand o = operand(*v);
        if (o.kind != Operand::Kind::Number)
            mismatch(op, a, b);
    }
    if (!wholeOperand(a, x) || !wholeOperand(b, y))
        throw jetRuntimeError(
            err::Overflow,
            QStringLiteral("%1 %2 %3 needs whole numbers from -2147483648 to 2147483647")
                .arg(a.toString(), QLatin1String(op), b.toString()));
    if (*y == 0)
        throw jetRuntimeError(err::DivisionByZero,
                              QStringLiteral("%1 %2 0").arg(a.toString(), QLatin1String(op)));
    return true;
}

}  // namespace

QString jetRuntimeErrorText(ErrorNumber number) {
    switch (number) {
        case err::InvalidProcedureCall:
            return QStringLiteral("Invalid procedure call or argument");
        case err::Overflow:
            return QStringLiteral("Overflow");
        case err::DivisionByZero:
            return QStringLiteral("Division by zero");
        case err::TypeMismatch:
            return QStringLiteral("Data type mismatch");
        default:
            break;
    }
    return QStringLiteral("Error %1").arg(static_cast<int>(number));
}

DbError jetRuntimeError(ErrorNumber number, const QString& detail) {
    return DbError(number, QStringLiteral("%1 (%2)").arg(jetRuntimeErrorText(number), detail));
}

double finiteOrOverflow(double d, const char* what) {
    if (!std::isfinite(d))
        throw jetRuntimeError(
            err::Overflow,
            QStringLiteral("%1 is beyond the range of numbers").arg(QLatin1String(what)));
    return d;
}

Value jetAdd(const Value& a, const Value& b, bool aIsDate, bool bIsDate) {
    if (a.isNull() || b.isNull())
        return {};
    if (a.type() == Value::Type::Text && b.type() == Value::Type::Text && !aIsDate && !bIsDate)
        return Value(a.toString() + b.toString());
    const Operand x = operand(a);
    const Operand y = operand(b);
    using K = Operand::Kind;
    if (x.kind == K::Number && y.kind == K::Number) {
        if (auto r = wholeResult(x, y, addOverflows))
            return *r;
        return numberResult(x.number + y.number, "a sum");
    }
    if (x.kind == K::Date && y.kind == K::Number)
        return shiftedDate(x.date, y.number);
    if (x.kind == K::Number && y.kind == K::Date)
        return shiftedDate(y.date, x.number);
    mismatch("+", a, b);
}

Value jetSubtract(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return {};
    const Operand x = operand(a);
    const Operand y = operand(b);
    using K = Operand::Kind;
    if (x.kind == K::Number && y.kind == K::Number) {
        if (auto r = wholeResult(x, y, subOverflows))
            return *r;
        return numberResult(x.number - y.number, "a difference");
    }
    if (x.kind == K::Date && y.kind == K::Number)
        return shiftedDate(x.date, -y.number);
    if (x.kind == K::Date && y.kind == K::Date)
        return Value(static_cast<double>(y.date.secsTo(x.date)) / 86400.0);
    mismatch("-", a, b);
}

Value jetMultiply(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return {};
    const Operand x = operand(a);
    const Operand y = operand(b);
    if (x.kind != Operand::Kind::Number || y.kind != Operand::Kind::Number)
        mismatch("*", a, b);
    if (auto r = wholeResult(x, y, mulOverflows))
        return *r;
    return numberResult(x.number * y.number, "a product");
}

Value jetDivide(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return {};
    const Operand x = operand(a);
    const Operand y = operand(b);
    if (x.kind != Operand::Kind::Number || y.kind != Operand::Kind::Number)
        mismatch("/", a, b);
    if (y.number == 0) {
        if (x.number == 0)
            throw jetRuntimeError(err::Overflow, QStringLiteral("0 / 0"));
        throw jetRuntimeError(err::DivisionByZero, QStringLiteral("%1 / 0").arg(a.toString()));
    }
    return numberResult(x.number / y.number, "a quotient");
}

Value jetIntDivide(const Value& a, const Value& b) {
    std::int64_t x = 0, y = 0;
    if (!wholeOperands(a, b, "\\", &x, &y))
        return {};
    if (x == -2147483648LL && y == -1)
        throw jetRuntimeError(err::Overflow, QStringLiteral("%1 \\ -1").arg(x));
    return Value(x / y);
}

Value jetModulo(const Value& a, const Value& b) {
    std::int64_t x = 0, y = 0;
    if (!wholeOperands(a, b, "Mod", &x, &y))
        return {};
    return Value(y == -1 ? std::int64_t{0} : x % y);
}

Value jetPower(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return {};
    const Operand x = operand(a);
    const Operand y = operand(b);
    if (x.kind != Operand::Kind::Number || y.kind != Operand::Kind::Number)
        mismatch("^", a, b);
    if ((x.number == 0 && y.number < 0) || (x.number < 0 && std::trunc(y.number) != y.number))
        throw jetRuntimeError(err::InvalidProcedureCall,
                              QStringLiteral("%1 ^ %2").arg(a.toString(), b.toString()));
    return numberResult(std::pow(x.number, y.number), "a power");
}

}  // namespace velmora::data
