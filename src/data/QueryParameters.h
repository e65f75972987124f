#pragma once

// The parameters a statement declares with PARAMETERS ("PARAMETERS [Since] DateTime, Reg
// Text(10); SELECT ..."): the statement then asks for their values when it runs, given in
// the order of the declaration. The names stand for the values wherever the statement
// names them as a column.

#include "JetSqlTokenizer.h"
#include "Value.h"

#include <QString>

#include <vector>

namespace velmora::data {

struct QueryParameter {
    QString name;
    QString type;  // as declared ("DateTime", "Text(10)"), "Value" when none is given
};

// The parameters the statement (or a stored query's text) declares; none without a
// PARAMETERS clause. Throws DbError (syntax error) on a declaration that cannot be read.
std::vector<QueryParameter> declaredParameters(const QString& jetSql);

// Reads a PARAMETERS clause from the tokens (without blanks) at *pos, which it leaves after
// the clause's ";". Throws DbError (syntax error) with the reason.
std::vector<QueryParameter> readParameterClause(const std::vector<JetToken>& tokens, size_t* pos,
                                                const QString& statement);

// What kind of value a declared type takes.
enum class ParameterKind { Text, Whole, YesNo, Number, Currency, Date };
ParameterKind parameterKind(const QString& declaredType);

// A value typed for a parameter, converted to the parameter's declared type: whole numbers
// within the type's range, numbers, dates (ISO or month first, as in Jet SQL), Yes/No
// (Yes, No, True, False, -1, 0), text as given. Throws DbError (err::TypeMismatch) naming
// the parameter when the text is no value of its type.
Value parameterValue(const QueryParameter& parameter, const QString& text);

}  // namespace velmora::data
