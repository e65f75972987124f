#pragma once

// What the parts of the Jet expression parser share (internal to the engine): Jet's
// operator precedence, the guard of nesting, and the helpers that write SQL for values.

#include "DbError.h"
#include "JetSqlParser.h"

namespace velmora::data {

namespace jetsql {

// Jet's precedence, loosest first.
enum JetLevel {
    jImp = 1,
    jEqv,
    jXor,
    jOr,
    jAnd,
    jNot,
    jCompare,
    jConcat,
    jAdd,
    jMod,
    jIntDiv,
    jMul,
    jNeg,
    jPow
};

bool isNumber(const SqlExpr& e);
SqlExpr make(QString sql, SqlExpr::Kind kind, int level, int height = 1);
int above(const SqlExpr& a, const SqlExpr& b);
// The expression, marked as the same for every row.
inline SqlExpr constantOf(SqlExpr e) {
    e.constant = true;
    return e;
}
// The kind of a choice between two values of these kinds.
SqlExpr::Kind combined(SqlExpr::Kind a, SqlExpr::Kind b);
// The functions whose result is a date.
bool isDateFunction(const QString& lowerName);
// A date literal where its type is not known from the other side (Nz, IIf).
SqlExpr typedDate(SqlExpr e);
// A #date# literal as the translated SQL writes it.
QString dateLiteral(const JetToken& tok, const QString& text);
// Words that never stand for a column or call a function.
bool isReserved(const JetToken& tok);
// " count sum avg min max first last ": Jet's aggregates.
const QString& aggregateNames();

}  // namespace jetsql

// Guards one level of nesting: parentheses, a call, a prefix operator, a subquery.
class JetSqlParser::Nesting {
  public:
    explicit Nesting(JetSqlParser& p) : p_(p) {
        if (++p_.nesting_ > kMaxNesting) {
            throw DbError(err::QueryTooComplex,
                          QStringLiteral("The statement nests parentheses, calls or operators "
                                         "more than %1 deep, which the engine does not take: "
                                         "\"%2\".")
                              .arg(kMaxNesting)
                              .arg(shownStatement(p_.text_)));
        }
    }
    ~Nesting() { --p_.nesting_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

  private:
    JetSqlParser& p_;
};

}  // namespace velmora::data
