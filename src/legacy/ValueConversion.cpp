#include "ValueConversion.h"

#include "ExtendedDate.h"
#include "OleDate.h"
#include "data/DbError.h"
#include "data/JetDates.h"
#include "data/Recordset.h"

#include <cmath>
#include <optional>

namespace velmora::legacy {

namespace {

using data::Value;

// Doubles hold every whole number up to 2^53 exactly: larger amounts lose their last digits.
constexpr std::int64_t kExactLimit = std::int64_t{1} << 53;

int significantDigits(const QString& decimal) {
    int first = -1, last = -1, count = 0;
    for (int i = 0; i < decimal.size(); ++i) {
        if (!decimal[i].isDigit())
            continue;
        if (decimal[i] != u'0' && first < 0)
            first = count;
        if (decimal[i] != u'0')
            last = count;
        ++count;
    }
    return first < 0 ? 0 : last - first + 1;
}

QString shown(const Value& v) {
    return v.isNull() ? QStringLiteral("Null") : v.toString();
}

// The value for a column of its own kind, when the engine's conversion would only hand it
// back: most values of a converted file. Empty when the full conversion is needed (another
// kind, or a value the column may refuse, whose message that conversion words).
std::optional<Value> sameKind(const SourceValue& v, const data::FieldType& type) {
    using Kind = SourceValue::Kind;
    using Target = data::FieldType::Kind;
    switch (type.kind) {
        case Target::Text:
            if (v.kind() == Kind::Text && (type.size == 0 || v.text().size() <= type.size))
                return Value(v.text());
            break;
        case Target::YesNo:
            if (v.kind() == Kind::YesNo)
                return Value(v.isYes());
            break;
        case Target::Integer:
            if (v.kind() == Kind::Integer && v.integerValue() >= type.minValue &&
                v.integerValue() <= type.maxValue)
                return Value(v.integerValue());
            break;
        case Target::Real:
            if (v.kind() == Kind::Double && std::isfinite(v.doubleValue()))
                return Value(v.doubleValue());
            break;
        case Target::Currency:
            if (v.kind() == Kind::Currency && v.currencyUnits() <= kExactLimit &&
                v.currencyUnits() >= -kExactLimit)
                return Value(static_cast<double>(v.currencyUnits()) / 10000.0);
            break;
        case Target::Date:
            if (v.kind() == Kind::DateTime) {
                if (const auto dt = oleDateToDateTime(v.oleDate()))
                    return Value(data::storedDateText(*dt));
            }
            break;
        case Target::Variant:
            break;
    }
    return std::nullopt;
}

// Whether storing a number in a column of this kind changed it: a fraction in a
// whole-number column, more than four decimals in a money column.
bool rounded(double natural, double stored, const data::FieldType& type) {
    if (type.kind == data::FieldType::Kind::Integer)
        return natural != stored;
    if (type.kind == data::FieldType::Kind::Currency)
        return std::fabs(natural * 10000.0 - std::round(natural * 10000.0)) > 1e-6;
    return false;
}

}  // namespace

StoredValue toStoredValue(const SourceValue& v, const data::FieldType& type,
                          const QString& column) {
    using Kind = SourceValue::Kind;
    StoredValue out;
    if (v.isNull())
        return out;
    if (auto same = sameKind(v, type)) {
        out.value = std::move(*same);
        return out;
    }
    Value natural;
    QString note;
    switch (v.kind()) {
        case Kind::Null:
            return out;
        case Kind::Unreadable:
            out.problem = v.text();
            return out;
        case Kind::Binary:
            if (type.kind != data::FieldType::Kind::Variant) {
                out.problem = QStringLiteral(
                                  "binary data (%1 bytes) cannot be stored in column "
                                  "'%2', which takes %3")
                                  .arg(v.bytes().size())
                                  .arg(column, type.kindName());
                return out;
            }
            out.value = Value(v.bytes().toStdString());
            return out;
        case Kind::DateTime: {
            const auto dt = oleDateToDateTime(v.oleDate());
            if (!dt) {
                out.problem = QStringLiteral(
                    "not a date Velmora can keep (dates run from "
                    "100-01-01 to 9999-12-31)");
                return out;
            }
            natural = Value(data::storedDateText(*dt));
            break;
        }
        case Kind::DateTimeExtended: {
            if (type.kind != data::FieldType::Kind::Date) {
                natural = Value(v.exactText());
                break;
            }
            // A date column keeps whole seconds from the year 100 on.
            const std::int64_t fraction = v.ticks() % kTicksPerSecond;
            const auto dt = extendedDateAsDateTime(v.ticks() - fraction);
            if (!dt) {
                out.problem = QStringLiteral(
                    "not a date Velmora can keep (dates run from 100-01-01 to 9999-12-31)");
                return out;
            }
            natural = Value(data::storedDateText(*dt));
            if (fraction != 0)
                note = QStringLiteral("column '%1' keeps whole seconds").arg(column);
            break;
        }
        case Kind::YesNo:
            natural = Value(v.isYes());
            break;
        case Kind::Integer:
            natural = Value(v.integerValue());
            break;
        case Kind::Single:
            // The single's own decimal digits (0.1, not 0.100000001490116): what was typed
            // and what Access shows.
            natural = Value(v.exactText().toDouble());
            break;
        case Kind::Double:
            if (!std::isfinite(v.doubleValue())) {
                out.problem = QStringLiteral("not a finite number");
                return out;
            }
            natural = Value(v.doubleValue());
            break;
        case Kind::Currency:
            natural = Value(static_cast<double>(v.currencyUnits()) / 10000.0);
            if (v.currencyUnits() > kExactLimit || v.currencyUnits() < -kExactLimit)
                note = QStringLiteral("the amount has more digits than Velmora keeps");
            break;
        case Kind::Decimal:
            if (type.kind == data::FieldType::Kind::Text ||
                type.kind == data::FieldType::Kind::Variant) {
                natural = Value(v.text());
                break;
            }
            natural = Value(v.text().toDouble());
            if (significantDigits(v.text()) > 15)
                note = QStringLiteral("the number has more than fifteen digits");
            break;
        case Kind::Text:
            natural = Value(v.text());
            break;
    }
    try {
        out.value = data::convertForField(natural, type, column);
    } catch (const data::DbError& e) {
        out.value = Value();
        out.problem = e.text();
        return out;
    }
    if (note.isEmpty() && natural.isNumber() && out.value.isNumber() &&
        rounded(natural.toDouble(), out.value.toDouble(), type))
        note = QStringLiteral("column '%1' takes %2").arg(column, type.kindName());
    if (!note.isEmpty())
        out.problem = note + QStringLiteral(": stored as ") + shown(out.value);
    return out;
}

}  // namespace velmora::legacy
