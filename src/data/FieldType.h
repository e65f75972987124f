#pragma once

#include <QString>

#include <cstdint>

namespace velmora::data {

// What a column holds, read from its declared type.
struct FieldType {
    enum class Kind { Variant, Text, Integer, Real, Currency, YesNo, Date };
    Kind kind = Kind::Variant;
    int size = 0;                             // Text: the most characters it takes, 0 for no limit
    std::int64_t minValue = 0, maxValue = 0;  // Integer: its range

    // The declared type as the engine writes it into the file ("TEXT(50)", "CURRENCY",
    // "YESNO", ...), or any other declared type, which then holds any value.
    static FieldType fromDeclared(const QString& declared);
    // The Jet DDL type name ("TEXT", "VARCHAR", "LONG", "BIT", ...) with an optional size;
    // false when the name is not a type.
    static bool fromJetName(const QString& name, int size, FieldType* out, QString* declared);
    QString kindName() const;
    // Whole, real or currency: a column whose values are numbers.
    bool holdsNumbers() const {
        return kind == Kind::Integer || kind == Kind::Real || kind == Kind::Currency;
    }

  private:
    static FieldType parseDeclared(const QString& declared);
};

}  // namespace velmora::data
