#include "SourceValue.h"

#include "ExtendedDate.h"
#include "OleDate.h"

#include <charconv>
#include <iterator>

namespace velmora::legacy {

QString currencyText(std::int64_t units) {
    const bool negative = units < 0;
    // The magnitude of the most negative amount does not fit a signed integer.
    const std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(units) + 1 : static_cast<std::uint64_t>(units);
    const QString fraction = QString::number(magnitude % 10000).rightJustified(4, u'0');
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / 10000) +
           u'.' + fraction;
}

QString singleText(float v) {
    char buf[32];
    const auto r = std::to_chars(std::begin(buf), std::end(buf), v);
    return QString::fromLatin1(buf, static_cast<qsizetype>(r.ptr - buf));
}

QString SourceValue::exactText() const {
    switch (kind_) {
        case Kind::Null:
            return QStringLiteral("Null");
        case Kind::YesNo:
        case Kind::Integer:
            return QString::number(i_);
        case Kind::Single:
            return singleText(f_);
        case Kind::Double: {
            char buf[32];
            const auto r = std::to_chars(std::begin(buf), std::end(buf), d_);
            return QString::fromLatin1(buf, static_cast<qsizetype>(r.ptr - buf));
        }
        case Kind::Currency:
            return currencyText(i_);
        case Kind::Decimal:
        case Kind::Text:
            return s_;
        case Kind::DateTime: {
            if (const auto dt = oleDateToDateTime(d_))
                return dt->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            return QStringLiteral("date number %1").arg(d_, 0, 'g', 17);
        }
        case Kind::Binary:
            return QStringLiteral("%1 bytes").arg(b_.size());
        case Kind::DateTimeExtended:
            return extendedDateText(i_);
        case Kind::Unreadable:
            return QStringLiteral("unreadable");
    }
    return {};
}

bool SourceValue::operator==(const SourceValue& o) const {
    if (kind_ != o.kind_)
        return false;
    switch (kind_) {
        case Kind::Null:
            return true;
        case Kind::YesNo:
        case Kind::Integer:
        case Kind::Currency:
        case Kind::DateTimeExtended:
            return i_ == o.i_;
        case Kind::Single:
            return f_ == o.f_;
        case Kind::Double:
        case Kind::DateTime:
            return d_ == o.d_;
        case Kind::Decimal:
        case Kind::Text:
        case Kind::Unreadable:
            return s_ == o.s_;
        case Kind::Binary:
            return b_ == o.b_;
    }
    return false;
}

}  // namespace velmora::legacy
