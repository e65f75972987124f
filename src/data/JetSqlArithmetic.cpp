// "+", "-", "*" and "/" of Jet expressions, and number literals. Jet's arithmetic differs from
// the database engines' own: "+" joins two texts, a text that reads as a number takes part
// as that number, and a result beyond the range of numbers or a division by zero is an
// error rather than infinity or Null. Each operator is a call of the engine's function for
// it; on SQLite a chain of operators of one precedence is one call.
#include "JetFunctionCatalog.h"
#include "JetSqlParser.h"

#include <cmath>
#include <cstdlib>

namespace velmora::data {

namespace {

using Kind = SqlExpr::Kind;

// SQLite takes up to 127 arguments per call: the first operand and 63 operators with theirs.
constexpr int kOperationsPerCall = 63;

// The codes the SQLite function of a chain reads its operators by: 1 to 4 for "+", "-", "*"
// and "/", plus kDateAfter where the operand after the operator is a date and kDateBefore
// where the value before it is (said of the chain's first operand only: after that, the
// chain knows which of its results are dates). Dates are text on the files, which "+" would
// join otherwise.
constexpr int kDateAfter = 8;
constexpr int kDateBefore = 16;
QString operatorCode(const QString& op, bool dateBefore, bool dateAfter) {
    int code = op == u"+" ? 1 : op == u"-" ? 2 : op == u"*" ? 3 : 4;
    if (dateBefore)
        code += kDateBefore;
    if (dateAfter)
        code += kDateAfter;
    return QString::number(code);
}

// Whether a sum or difference on the files is a date: a date moved by days.
bool movedDate(const QString& op, const SqlExpr& lhs, const SqlExpr& rhs) {
    if (op == u"+")
        return holdsDate(lhs) != holdsDate(rhs);
    return op == u"-" && holdsDate(lhs) && !holdsDate(rhs);
}

// What "+" gives: two texts join into text; with a number on either side it adds.
Kind kindOfSum(Kind a, Kind b) {
    if (a == Kind::Text && b == Kind::Text)
        return Kind::Text;
    if (a == Kind::Number || b == Kind::Number)
        return Kind::Number;
    return Kind::Unknown;
}

// An operand of a call on the server: a date literal is a date there (as a column of dates
// is), not text.
QString argument(const SqlExpr& e) {
    return e.date ? QStringLiteral("CAST(%1 AS timestamp)").arg(e.sql) : valueOf(e).sql;
}

SqlExpr call(const char* function, const SqlExpr& l, const SqlExpr& r, Kind kind) {
    SqlExpr e;
    e.sql =
        QLatin1String(function) + u'(' + argument(l) + QStringLiteral(", ") + argument(r) + u')';
    e.kind = kind;
    e.level = kPrimary;
    e.height = std::max(l.height, r.height) + 1;
    return e;
}

}  // namespace

void closeArithmetic(SqlExpr& e) {
    if (e.arithmetic.isEmpty())
        return;
    e.sql = QLatin1String(kJetArithmetic) + u'(' + e.arithmetic.join(QStringLiteral(", ")) + u')';
    e.arithmetic.clear();
    e.arithmeticLevel = 0;
    e.level = kPrimary;
}

SqlExpr arithmeticOf(const QString& op, SqlExpr lhs, const SqlExpr& rhs) {
    const bool additive = op == u"+" || op == u"-";
    const Kind kind = op == u"+" ? kindOfSum(valueOf(lhs).kind, valueOf(rhs).kind) : Kind::Number;
    if (forPostgres()) {
        if (op == u"+")
            return call(kJetAdd, lhs, rhs, kind);
        if (op == u"-")
            return call(kJetSubtract, lhs, rhs, kind);
        if (op == u"/")
            return call(kJetDivide, lhs, rhs, kind);
        // Whole numbers multiply as doubles (their product may lie beyond Long, as on the
        // files); a product beyond the range of numbers is an overflow.
        return call(kJetMultiply, lhs, rhs, kind);
    }
    const int level = additive ? kAdd : kMul;
    const int height = std::max(lhs.height, rhs.height) + 1;
    const bool date = movedDate(op, lhs, rhs);
    if (!lhs.arithmetic.isEmpty() && lhs.arithmeticLevel == level &&
        lhs.arithmetic.size() < 1 + 2 * kOperationsPerCall) {
        lhs.arithmetic << operatorCode(op, false, holdsDate(rhs)) << valueOf(rhs).sql;
        lhs.kind = kind;
        lhs.height = height;
        lhs.dateValue = date;
        return lhs;
    }
    SqlExpr e;
    const QString code = operatorCode(op, holdsDate(lhs), holdsDate(rhs));
    e.arithmetic << valueOf(std::move(lhs)).sql << code << valueOf(rhs).sql;
    e.dateValue = date;
    e.arithmeticLevel = level;
    e.kind = kind;
    e.level = kPrimary;
    e.height = height;
    return e;
}

std::optional<QString> numberLiteral(const QString& text) {
    const QByteArray latin = text.toLatin1();
    if (!std::isfinite(std::strtod(latin.constData(), nullptr)))
        return std::nullopt;
    if (!forPostgres())
        return text;
    // The server reads a number with a fraction or an exponent as an exact decimal, which
    // has no such limits and which the engine would read back wrongly: Jet's is a double.
    bool whole = true;
    for (QChar c : text)
        whole = whole && c.isDigit();
    if (whole && (text.size() < 19 || (text.size() == 19 && text <= u"9223372036854775807")))
        return text;
    return QStringLiteral("CAST(%1 AS double precision)").arg(text);
}

}  // namespace velmora::data
