#include "Value.h"

#include <cmath>
#include <limits>

namespace velmora::data {

namespace {

// Rounded to the nearest whole number (halves to even), held to the range of 64 bits: a
// double beyond it cannot be converted without undefined behaviour.
std::int64_t roundedToInt(double d) {
    if (!std::isfinite(d))
        return 0;
    const double r = std::nearbyint(d);
    if (r >= 9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::max();
    if (r < -9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}

}  // namespace

Value::Value(const QDate& date) {
    if (date.isValid())
        v_ = date.toString(Qt::ISODate).toStdString();
}

Value Value::fromVariant(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.typeId()) {
        case QMetaType::Bool:
            return Value(v.toBool());
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            return Value(static_cast<std::int64_t>(v.toLongLong()));
        case QMetaType::ULongLong:
            return Value(static_cast<std::int64_t>(v.toULongLong()));
        case QMetaType::Double:
        case QMetaType::Float:
            return Value(v.toDouble());
        case QMetaType::QDate:
            return Value(v.toDate());
        case QMetaType::QDateTime:
            return Value(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        default:
            return Value(v.toString());
    }
}

bool Value::parseNumber(const QString& text, double* out) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return false;
    *out = d;
    return true;
}

std::int64_t Value::toInt() const {
    switch (type()) {
        case Type::Integer:
            return std::get<std::int64_t>(v_);
        case Type::Real:
            return roundedToInt(std::get<double>(v_));
        case Type::Text: {
            double d = 0;
            return parseNumber(toString(), &d) ? roundedToInt(d) : 0;
        }
        case Type::Null:
            break;
    }
    return 0;
}

double Value::toDouble() const {
    switch (type()) {
        case Type::Integer:
            return static_cast<double>(std::get<std::int64_t>(v_));
        case Type::Real:
            return std::get<double>(v_);
        case Type::Text: {
            double d = 0;
            return parseNumber(toString(), &d) ? d : 0.0;
        }
        case Type::Null:
            break;
    }
    return 0.0;
}

QString Value::toString() const {
    switch (type()) {
        case Type::Integer:
            return QString::number(std::get<std::int64_t>(v_));
        case Type::Real:
            return formatNumber(std::get<double>(v_));
        case Type::Text: {
            const auto& s = std::get<std::string>(v_);
            return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
        }
        case Type::Null:
            break;
    }
    return {};
}

const std::string& Value::utf8() const {
    static const std::string empty;
    return type() == Type::Text ? std::get<std::string>(v_) : empty;
}

QDate Value::toDate() const {
    if (type() != Type::Text)
        return {};
    const QString s = toString();
    return QDate::fromString(s.left(10), Qt::ISODate);
}

QVariant Value::toVariant() const {
    switch (type()) {
        case Type::Integer:
            return QVariant::fromValue<qlonglong>(std::get<std::int64_t>(v_));
        case Type::Real:
            return QVariant(std::get<double>(v_));
        case Type::Text:
            return QVariant(toString());
        case Type::Null:
            break;
    }
    return {};
}

QString formatNumber(double v) {
    if (v == 0.0)
        return QStringLiteral("0");  // also folds -0
    const QString text = QString::number(v, 'g', 15);
    // Rounded to fifteen digits, the largest numbers would read back as beyond any number:
    // they keep the digits that read back as themselves.
    if (std::fabs(v) > 1e308) {
        bool ok = false;
        text.toDouble(&ok);
        if (!ok)
            return QString::number(v, 'g', 17);
    }
    return text;
}

}  // namespace velmora::data
