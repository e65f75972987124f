#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace velmora::legacy {

// One value as a Jet file holds it, read without conversion: money as its scaled integer,
// dates as the OLE date number, decimals as exact text. Null is a value of its own.
class SourceValue {
  public:
    enum class Kind {
        Null,
        YesNo,
        Integer,
        Single,
        Double,
        Currency,
        Decimal,
        DateTime,
        Text,
        Binary,
        DateTimeExtended,  // ticks of 100 ns since 0001-01-01 00:00
        Unreadable,        // the file's bytes for the value are damaged; text() says how
    };

    SourceValue() = default;
    static SourceValue yesNo(bool yes) { return {Kind::YesNo, std::int64_t{yes ? -1 : 0}}; }
    static SourceValue integer(std::int64_t v) { return {Kind::Integer, v}; }
    static SourceValue single(float v) { return {Kind::Single, v}; }
    static SourceValue real(double v) { return {Kind::Double, v}; }
    // An amount of money as the file keeps it: the amount times 10,000.
    static SourceValue currency(std::int64_t tenThousandths) {
        return {Kind::Currency, tenThousandths};
    }
    // A decimal number as exact text: an optional "-", digits, an optional "." and digits.
    static SourceValue decimal(const QString& exactText) { return {Kind::Decimal, exactText}; }
    // Days since 1899-12-30; the fraction is the time of day (before 1899-12-30 the whole
    // part counts back and the fraction still counts forward from midnight).
    static SourceValue dateTime(double oleDate) { return {Kind::DateTime, oleDate}; }
    // A Date/Time Extended value: ticks of 100 ns since 0001-01-01 00:00.
    static SourceValue extendedDate(std::int64_t ticks) { return {Kind::DateTimeExtended, ticks}; }
    static SourceValue text(const QString& v) { return {Kind::Text, v}; }
    static SourceValue binary(const QByteArray& v) { return {Kind::Binary, v}; }
    static SourceValue unreadable(const QString& reason) { return {Kind::Unreadable, reason}; }

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }

    bool isYes() const { return i_ != 0; }
    std::int64_t integerValue() const { return i_; }
    float singleValue() const { return f_; }
    double doubleValue() const { return d_; }
    std::int64_t currencyUnits() const { return i_; }
    double oleDate() const { return d_; }
    std::int64_t ticks() const { return i_; }
    // Text; the exact text of a Decimal; why an Unreadable value could not be read.
    const QString& text() const { return s_; }
    const QByteArray& bytes() const { return b_; }

    // The value written out exactly, for reports and comparisons: Yes/No as -1/0, money with
    // its four decimals ("1995.5000"), a single with the fewest digits that read back as the
    // same single, a date as "yyyy-MM-dd hh:mm:ss" (or its raw number when it is no date),
    // an extended date as "yyyy-MM-dd hh:mm:ss.fffffff",
    // binary data as its length. Null gives "Null".
    QString exactText() const;

    bool operator==(const SourceValue& o) const;

  private:
    // A value of a kind with the one field that kind keeps.
    SourceValue(Kind kind, std::int64_t i) : kind_(kind), i_(i) {}
    SourceValue(Kind kind, double d) : kind_(kind), d_(d) {}
    SourceValue(Kind kind, float f) : kind_(kind), f_(f) {}
    SourceValue(Kind kind, const QString& s) : kind_(kind), s_(s) {}
    SourceValue(Kind kind, const QByteArray& b) : kind_(kind), b_(b) {}

    Kind kind_ = Kind::Null;
    std::int64_t i_ = 0;
    double d_ = 0;
    float f_ = 0;
    QString s_;
    QByteArray b_;
};

// Money in its stored form (the amount times 10,000) as exact decimal text with four
// decimals: -12.3400.
QString currencyText(std::int64_t tenThousandths);

// The shortest decimal text that reads back as the same single: 0.1f gives "0.1".
QString singleText(float v);

}  // namespace velmora::legacy
