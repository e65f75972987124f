#include "PgValues.h"

#include "data/JetArithmetic.h"

#include <libpq-fe.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace velmora::data::pg {

namespace {

// Type numbers of the server's built-in types (pg_type.oid, fixed for every server).
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
              kNumeric = 1700, kDate = 1082, kTimestamp = 1114, kTimestampTz = 1184;

}  // namespace

ServerParameters::ServerParameters(const std::vector<Value>& values) {
    texts_.reserve(values.size());
    for (const Value& v : values) {
        switch (v.type()) {
            case Value::Type::Null:
                texts_.emplace_back();
                types_.push_back(0);
                break;
            case Value::Type::Integer:
                texts_.push_back(QByteArray::number(static_cast<qlonglong>(v.toInt())));
                types_.push_back(kInt8);
                break;
            case Value::Type::Real:
                // An infinite or undefined number is never stored.
                texts_.push_back(
                    QByteArray::number(finiteOrOverflow(v.toDouble(), "a number given"), 'g', 17));
                types_.push_back(kFloat8);
                break;
            case Value::Type::Text:
                texts_.emplace_back(v.utf8().data(), static_cast<qsizetype>(v.utf8().size()));
                types_.push_back(0);
                break;
        }
    }
    for (size_t i = 0; i < values.size(); ++i)
        pointers_.push_back(values[i].isNull() ? nullptr : texts_[i].constData());
}

Value serverValue(const pg_result* result, int row, int column, bool computed) {
    auto* r = const_cast<pg_result*>(result);
    if (PQgetisnull(r, row, column))
        return {};
    const char* text = PQgetvalue(r, row, column);
    const int length = PQgetlength(r, row, column);
    switch (PQftype(r, column)) {
        case kBool:
            return Value(std::int64_t{text[0] == 't' ? -1 : 0});
        // Numbers are read in place, without a copy of their text.
        case kInt2:
        case kInt4:
        case kInt8: {
            std::int64_t n = 0;
            std::from_chars(text, text + length, n);
            return Value(n);
        }
        case kFloat4:
        case kFloat8:
        case kNumeric: {
            // The server writes numbers as "1.5", "1e+20", "NaN" or "-Infinity". A computed
            // exact decimal beyond the range of doubles is an overflow, never read as 0.
            double d = 0;
            if (std::from_chars(text, text + length, d).ec == std::errc::result_out_of_range) {
                d = std::strtod(text, nullptr);  // 0 or a denormal below the range
                if (!std::isfinite(d))
                    throw jetRuntimeError(
                        err::Overflow, QStringLiteral("a result is beyond the range of numbers"));
            }
            if (computed && std::trunc(d) == d && std::fabs(d) < 9.0e15)
                return Value(static_cast<std::int64_t>(d));
            return Value(d);
        }
        case kDate:
        case kTimestamp:
        case kTimestampTz: {
            std::string_view s(text, static_cast<size_t>(length));
            if (s.ends_with(" 00:00:00"))
                s.remove_suffix(9);
            return Value(std::string(s));
        }
        default:
            return Value(std::string(text, static_cast<size_t>(length)));
    }
}

std::vector<std::vector<Value>> readRows(const pg_result* result, int firstColumn) {
    auto* r = const_cast<pg_result*>(result);
    std::vector<std::vector<Value>> out;
    const int n = PQntuples(r);
    const int cols = PQnfields(r);
    out.reserve(static_cast<size_t>(n));
    for (int row = 0; row < n; ++row) {
        std::vector<Value> values;
        values.reserve(static_cast<size_t>(std::max(0, cols - firstColumn)));
        for (int c = firstColumn; c < cols; ++c)
            values.push_back(serverValue(result, row, c));
        out.push_back(std::move(values));
    }
    return out;
}

FieldType fieldTypeOfServerType(const QString& serverType) {
    QString t = serverType.toLower();
    if (t.startsWith(QLatin1String("velmora_jet.")))
        t = t.mid(12);
    QString declared;
    if (t.startsWith(QLatin1String("character varying("))) {
        declared = QStringLiteral("TEXT(%1)").arg(t.mid(18).chopped(1));
    } else if (t == u"text" || t == u"character varying") {
        declared = QStringLiteral("LONGTEXT");
    } else if (t == u"integer") {
        declared = QStringLiteral("INTEGER");
    } else if (t == u"bigint") {
        declared = QStringLiteral("BIGINT");
    } else if (t == u"smallint") {
        declared = QStringLiteral("SHORT");
    } else if (t == u"byte") {
        declared = QStringLiteral("BYTE");
    } else if (t == u"yesno") {
        declared = QStringLiteral("YESNO");
    } else if (t == u"double precision") {
        declared = QStringLiteral("DOUBLE");
    } else if (t == u"real") {
        declared = QStringLiteral("SINGLE");
    } else if (t.startsWith(QLatin1String("numeric"))) {
        declared = QStringLiteral("CURRENCY");
    } else if (t.startsWith(QLatin1String("timestamp")) || t == u"date") {
        declared = QStringLiteral("DATETIME");
    } else {
        return {};
    }
    return FieldType::fromDeclared(declared);
}

QString serverTypeName(Value::Type type) {
    switch (type) {
        case Value::Type::Integer:
            return QStringLiteral("bigint");
        case Value::Type::Real:
            return QStringLiteral("double precision");
        case Value::Type::Null:
        case Value::Type::Text:
            break;
    }
    return QStringLiteral("text");
}

}  // namespace velmora::data::pg
