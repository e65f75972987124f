#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <string>
#include <variant>

namespace velmora::data {

// One column value as the engine hands it out: Null, a whole number, a number with
// fraction, or text. Null is distinct from empty text. Yes/No values are whole numbers
// (-1 for Yes, 0 for No); dates are ISO 8601 text ("2005-01-31").
class Value {
  public:
    enum class Type { Null, Integer, Real, Text };

    Value() = default;
    Value(std::int64_t v) : v_(v) {}
    Value(int v) : v_(std::int64_t{v}) {}
    Value(double v) : v_(v) {}
    Value(bool v) : v_(std::int64_t{v ? -1 : 0}) {}
    Value(const char* utf8) : v_(std::string(utf8)) {}
    Value(std::string utf8) : v_(std::move(utf8)) {}
    Value(const QString& text) : v_(text.toStdString()) {}
    Value(const QDate& date);

    static Value null() { return {}; }
    static Value fromVariant(const QVariant& v);

    Type type() const { return static_cast<Type>(v_.index()); }
    bool isNull() const { return type() == Type::Null; }
    bool isNumber() const { return type() == Type::Integer || type() == Type::Real; }

    // Conversions. Null converts to 0 / empty text; text converts to a number when it
    // reads as one (surrounding blanks allowed), else 0.
    std::int64_t toInt() const;
    double toDouble() const;
    bool toBool() const { return toDouble() != 0.0; }
    QString toString() const;
    const std::string& utf8() const;  // Text values only; empty for the others
    QDate toDate() const;             // invalid when the value is not a date
    QVariant toVariant() const;

    // Reads text as a number the way the engine stores it; false when it is none.
    static bool parseNumber(const QString& text, double* out);

    bool operator==(const Value& o) const { return v_ == o.v_; }

    // Makes this value the given text, reusing the room of text it holds already: a
    // reader that fills the same row over and over allocates only for longer text.
    void assignText(const char* utf8, size_t bytes) {
        if (auto* s = std::get_if<std::string>(&v_))
            s->assign(utf8, bytes);
        else
            // The string is made first and moved in. Made in the variant from its bytes
            // (which may throw), it would be made in a whole new variant that is then moved
            // over this one; a string moved in is put in its place directly.
            v_.emplace<std::string>(std::string(utf8, bytes));
    }

    // Makes this value a number or Null in place. A reader filling a row's slots calls these
    // rather than assigning a new Value: the assignment goes through the variant's general
    // move, which costs a visit of both sides for each of a result's many values.
    void assignInteger(std::int64_t v) { v_.emplace<std::int64_t>(v); }
    void assignReal(double v) { v_.emplace<double>(v); }
    void assignNull() { v_.emplace<std::monostate>(); }

  private:
    std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

// Numbers printed in the shortest form that keeps fifteen significant digits:
// 802.3, 1240, -6.5.
QString formatNumber(double v);

}  // namespace velmora::data
