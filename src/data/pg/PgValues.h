#pragma once

// Values between the engine and the database server: parameters sent as text with the
// types of the engine's values, results read by their column types. Internal to the engine.

#include "data/FieldType.h"
#include "data/Value.h"

#include <QByteArray>
#include <QString>

#include <vector>

struct pg_result;

namespace velmora::data::pg {

// Statement parameters: whole numbers as bigint, numbers with fractions as double precision,
// text untyped (the server reads it as the column or operator needs: a date, a number, text).
class ServerParameters {
  public:
    explicit ServerParameters(const std::vector<Value>& values);
    int count() const { return static_cast<int>(pointers_.size()); }
    const unsigned int* types() const { return types_.empty() ? nullptr : types_.data(); }
    const char* const* values() const { return pointers_.empty() ? nullptr : pointers_.data(); }
    // The types as bytes: with the statement's text, what a prepared statement is kept by.
    QByteArray typeKey() const {
        return QByteArray(reinterpret_cast<const char*>(types_.data()),
                          static_cast<qsizetype>(types_.size() * sizeof(unsigned int)));
    }

  private:
    std::vector<QByteArray> texts_;
    std::vector<const char*> pointers_;
    std::vector<unsigned int> types_;
};

// One value of a result: Yes/No and whole numbers as Integer, numbers with fractions and
// amounts of money as Real, dates as the engine's date text ("2005-01-31", with
// " 14:30:00" when there is a time of day), everything else as text.
// A computed column (one that comes from no table) gives whole numbers as Integer, as a
// file's engine gives the value of a whole-number branch of an IIf.
Value serverValue(const pg_result* result, int row, int column, bool computed = false);
// Every row of a result, from the given column on.
std::vector<std::vector<Value>> readRows(const pg_result* result, int firstColumn);

// What a column holds, from the server's name of its type ("character varying(10)",
// "numeric(19,4)", "yesno", "timestamp(0) without time zone", ...).
FieldType fieldTypeOfServerType(const QString& serverType);

// The server's type for a parameter holding a value of this kind.
QString serverTypeName(Value::Type type);

}  // namespace velmora::data::pg
