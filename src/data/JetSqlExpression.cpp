// Jet expressions read with Jet's precedence and written as SQLite expressions that mean
// the same: "/" divides as floating point, "\" and Mod round to whole numbers first, "&"
// binds looser than "+" and takes Null as empty text, a comparison used as a value is -1
// for True, and text compares without regard to letter case or trailing blanks.
#include "DbError.h"
#include "JetDates.h"
#include "JetFunctionCatalog.h"
#include "JetSqlExpressionParts.h"
#include "JetSqlParser.h"
#include "QueryParameters.h"

#include <QScopeGuard>

namespace velmora::data {

namespace {

using K = JetToken::Kind;
using Kind = SqlExpr::Kind;
using namespace jetsql;

// Chains of "&" are one call of up to this many operands; longer ones nest.
constexpr int kConcatPartsPerCall = 100;

const QString kCollate = QStringLiteral(" COLLATE ") + QLatin1String(kJetTextCollation);

}  // namespace

namespace jetsql {

bool isNumber(const SqlExpr& e) {
    return e.kind == Kind::Number;
}

SqlExpr make(QString sql, Kind kind, int level, int height) {
    SqlExpr e;
    e.sql = std::move(sql);
    e.kind = kind;
    e.level = level;
    e.height = height;
    return e;
}

int above(const SqlExpr& a, const SqlExpr& b) {
    return std::max(a.height, b.height) + 1;
}

void close(SqlExpr& e) {
    closeArithmetic(e);
    if (e.openCase) {
        e.sql = QStringLiteral("CASE ") + e.whens + QStringLiteral(" ELSE ") + e.otherwise +
                QStringLiteral(" END");
        e.openCase = false;
        e.whens.clear();
        e.otherwise.clear();
        e.level = kPrimary;
    }
    if (!e.parts.isEmpty()) {
        if (forPostgres()) {
            // The server's function takes the parts as text, each written as CStr writes it
            // (the server's own text form of numbers and dates is not Jet's).
            QStringList texts;
            for (const QString& p : e.parts)
                texts << QStringLiteral("jet_cstr(") + p + u')';
            e.sql = QLatin1String(kJetConcat) + u'(' + texts.join(QStringLiteral(", ")) + u')';
        } else {
            e.sql = QLatin1String(kJetConcat) + u'(' + e.parts.join(QStringLiteral(", ")) + u')';
        }
        e.parts.clear();
        e.level = kPrimary;
    }
}

// Text compared as Jet compares it; numbers compare as numbers whatever the collation, and
// leaving them without one keeps their indexes usable.
//
// PostgreSQL has no such collation: both sides go through jet_text(), which gives text in lower
// case without trailing blanks and any other value as it is; a literal is given so already.
QString collated(const SqlExpr& e) {
    if (!forPostgres())
        return operandText(e, kPrimary) + kCollate;
    if (e.kind == Kind::Null)
        return e.sql;
    if (e.literal)
        return quoteJetLiteral(jetComparedText(
            e.sql.mid(1, e.sql.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"))));
    SqlExpr v = e;
    close(v);
    return QLatin1String(kPgJetText) + u'(' + v.sql + u')';
}

// Text as collated() gives it, put in the order of its letters' code points (after case
// folding) on the server too, as SQLite's collation orders it: the columns' own collation there
// orders by the locale's rules, under which "é" came before "x" in a column and after it
// between two literals. Equality keeps the columns' collation, which their indexes use.
QString ordered(const QString& collatedText, const SqlExpr& e) {
    if (!forPostgres() || e.kind != Kind::Text || e.dated)
        return collatedText;
    return u'(' + collatedText + QStringLiteral(" COLLATE ucs_basic)");
}

// The other side of a comparison of text: as it is on SQLite, whose collation of the left
// side rules, as Jet compares it on PostgreSQL.
QString comparedOperand(const SqlExpr& e, int maxLevel) {
    return forPostgres() ? collated(e) : operandText(e, maxLevel);
}

Kind combined(Kind a, Kind b) {
    if (a == Kind::Null)
        return b;
    if (b == Kind::Null || a == b)
        return a;
    return Kind::Unknown;
}

// The functions whose result is a date.
bool isDateFunction(const QString& lowerName) {
    static const QStringList names = {QStringLiteral("cdate"),      QStringLiteral("cvdate"),
                                      QStringLiteral("date"),       QStringLiteral("dateadd"),
                                      QStringLiteral("dateserial"), QStringLiteral("datevalue"),
                                      QStringLiteral("now"),        QStringLiteral("time"),
                                      QStringLiteral("timeserial"), QStringLiteral("timevalue")};
    return names.contains(lowerName);
}

// A date literal where its type is not known from the other side (Nz, IIf): on the server
// it is written as a date, else it would be text there.
SqlExpr typedDate(SqlExpr e) {
    if (forPostgres() && e.date && e.literal) {
        e.sql = QStringLiteral("CAST(") + e.sql + QStringLiteral(" AS timestamp)");
        e.literal = false;
        e.date = false;
        e.dated = true;
    }
    return e;
}

SqlExpr functionCall(const char* name, const SqlExpr& a, const SqlExpr& b) {
    return make(
        QLatin1String(name) + u'(' + valueOf(a).sql + QStringLiteral(", ") + valueOf(b).sql + u')',
        Kind::Number, kPrimary, above(a, b));
}

SqlExpr logical(const SqlExpr& l, const char* op, const SqlExpr& r, int level) {
    return make(operandText(conditionOf(l), level) + QLatin1String(op) +
                    operandText(conditionOf(r), level - 1),
                Kind::Condition, level, above(l, r));
}

SqlExpr compare(const SqlExpr& lhs, QString op, const SqlExpr& rhs) {
    const SqlExpr a = valueOf(lhs);
    const SqlExpr b = valueOf(rhs);
    if (op == u"!=")
        op = QStringLiteral("<>");
    const int level = (op == u"=" || op == u"<>") ? kEq : kRel;
    const bool text = !isNumber(a) && !isNumber(b);
    const bool ranked = level == kRel;
    // Two values of kinds that show on the server only (columns) rank by their sort keys.
    const bool keyed = ranked && forPostgres() && a.kind == Kind::Unknown &&
                       b.kind == Kind::Unknown && !a.dated && !b.dated;
    auto side = [&](const SqlExpr& e, const QString& t) {
        if (keyed)
            return QLatin1String(kPgJetSortKey) + u'(' + valueOf(e).sql + u')';
        return ranked ? ordered(t, e) : t;
    };
    return make((text ? side(a, collated(a)) : operandText(a, level)) + u' ' + op + u' ' +
                    (text ? side(b, comparedOperand(b, level - 1)) : operandText(b, level - 1)),
                Kind::Condition, level, above(a, b) + (text ? 1 : 0));
}

SqlExpr negate(const SqlExpr& x) {
    QString s = operandText(valueOf(x), kUnary);
    if (s.startsWith(u'-') || s.startsWith(u'+'))
        s = u'(' + s + u')';  // "--" would begin a comment
    SqlExpr e = make(u'-' + s, Kind::Number, kUnary, x.height + 2);
    e.constant = x.constant;
    return e;
}

SqlExpr notOf(const SqlExpr& x) {
    SqlExpr e = make(QStringLiteral("NOT ") + operandText(conditionOf(x), kNot), Kind::Condition,
                     kNot, x.height + 1);
    e.constant = x.constant;
    return e;
}

SqlExpr concat(SqlExpr lhs, const SqlExpr& rhs) {
    if (!lhs.parts.isEmpty() && lhs.parts.size() < kConcatPartsPerCall) {
        lhs.parts << valueOf(rhs).sql;
        lhs.height = std::max(lhs.height, rhs.height + 2);
        return lhs;
    }
    SqlExpr e = make(QString(), Kind::Text, kPrimary, above(lhs, rhs) + 1);
    e.parts << valueOf(std::move(lhs)).sql << valueOf(rhs).sql;
    return e;
}

QString dateLiteral(const JetToken& tok, const QString& text) {
    const auto dt = parseJetDateTime(tok.text.mid(1, tok.text.size() - 2));
    if (!dt)
        throw DbError(err::SyntaxError,
                      QStringLiteral("Syntax error in SQL statement: the date %1 cannot be read "
                                     "(position %2) in \"%3\".")
                          .arg(tok.text)
                          .arg(tok.pos + 1)
                          .arg(shownStatement(text)));
    return quoteJetLiteral(storedDateText(*dt));
}

// Words that never stand for a column or call a function.
bool isReserved(const JetToken& tok) {
    static const char* const words[] = {
        "SELECT", "FROM",     "WHERE",       "GROUP",  "ORDER",  "HAVING", "UNION",   "ON",
        "JOIN",   "INTO",     "VALUES",      "SET",    "AND",    "OR",     "XOR",     "EQV",
        "IMP",    "NOT",      "MOD",         "LIKE",   "IN",     "IS",     "BETWEEN", "AS",
        "BY",     "DISTINCT", "DISTINCTROW", "TOP",    "ASC",    "DESC",   "ALL",     "INNER",
        "OUTER",  "TABLE",    "CREATE",      "DELETE", "UPDATE", "INSERT", "DROP",    "ALTER",
        "EXISTS", "CASE",     "WHEN",        "THEN",   "ELSE",   "END",    "PERCENT"};
    if (!tok.is(K::Word))
        return false;
    for (const char* w : words) {
        if (tok.isWord(QString::fromLatin1(w)))
            return true;
    }
    return false;
}

const QString& aggregateNames() {
    static const QString names = QStringLiteral(" count sum avg min max first last ");
    return names;
}

}  // namespace jetsql

using namespace jetsql;

SqlExpr valueOf(SqlExpr e) {
    close(e);
    if (e.kind == Kind::Condition) {
        // PostgreSQL's conditions are booleans, SQLite's 1 and 0.
        e.sql = forPostgres() ? QStringLiteral("-((") + e.sql + QStringLiteral(")::int)")
                              : QStringLiteral("-(") + e.sql + u')';
        e.kind = Kind::Number;
        e.level = kUnary;
        e.column = false;
        e.height += 1;
    }
    return e;
}

SqlExpr conditionOf(SqlExpr e) {
    close(e);
    // A value as a condition: SQLite takes any number, PostgreSQL only a boolean.
    if (forPostgres() && e.kind != Kind::Condition && e.kind != Kind::Null) {
        e.sql = operandText(e, kEq - 1) + QStringLiteral(" <> 0");
        e.kind = Kind::Condition;
        e.level = kEq;
        e.column = false;
        e.literal = false;
        e.height += 1;
    }
    return e;
}

QString sortTermText(const SqlExpr& e, bool distinctRows) {
    const SqlExpr v = valueOf(e);
    if (forPostgres() && distinctRows) {
        // The server sorts distinct rows only by what they show: no sort key can be added,
        // and text sorts by its collation there.
        return v.kind == Kind::Text && !v.column && !v.dated
                   ? u'(' + v.sql + QStringLiteral(") COLLATE ") + QLatin1String(kPgJetSort)
                   : v.sql;
    }
    if (forPostgres()) {
        // Text columns made by the engine sort as Jet sorts (their collation); computed text
        // is given that collation, computed dates are timestamps there and take none.
        // Text, a column's too, sorts as it compares: case and trailing blanks aside, by its
        // letters' code points, as on SQLite. Computed dates are timestamps there.
        if (v.kind == Kind::Text && !v.dated)
            return ordered(collated(v), v);
        // A column's (or a choice's) kind shows on the server only: its sort key is the
        // text's when it is text, the value itself otherwise.
        if (v.kind == Kind::Unknown && !v.dated)
            return QLatin1String(kPgJetSortKey) + u'(' + v.sql + u')';
        return v.sql;
    }
    return isNumber(v) || v.column ? v.sql : collated(v);
}

QString operandText(const SqlExpr& e, int maxLevel) {
    SqlExpr c = e;
    close(c);
    return c.level > maxLevel ? u'(' + c.sql + u')' : c.sql;
}

struct JetSqlParser::Operator {
    int level = 0;
    QString text;  // upper case for words
    int tokens = 1;
    bool negated = false;
};

bool JetSqlParser::binaryOperator(Operator* op) const {
    const JetToken* tok = peek();
    if (!tok)
        return false;
    if (tok->is(K::Symbol)) {
        const QString& s = tok->text;
        op->text = s;
        if (s == u"=" || s == u"<>" || s == u"!=" || s == u"<" || s == u">" || s == u"<=" ||
            s == u">=")
            op->level = jCompare;
        else if (s == u"&")
            op->level = jConcat;
        else if (s == u"+" || s == u"-")
            op->level = jAdd;
        else if (s == u"\\")
            op->level = jIntDiv;
        else if (s == u"*" || s == u"/")
            op->level = jMul;
        else if (s == u"^")
            op->level = jPow;
        else
            return false;
        return true;
    }
    if (!tok->is(K::Word))
        return false;
    QString w = tok->text.toUpper();
    if (w == u"NOT") {
        const JetToken* next = peek(1);
        if (!next || !(next->isWord(u"LIKE") || next->isWord(u"IN") || next->isWord(u"BETWEEN")))
            return false;
        op->negated = true;
        op->tokens = 2;
        w = next->text.toUpper();
    }
    op->text = w;
    if (w == u"IMP")
        op->level = jImp;
    else if (w == u"EQV")
        op->level = jEqv;
    else if (w == u"XOR")
        op->level = jXor;
    else if (w == u"OR")
        op->level = jOr;
    else if (w == u"AND")
        op->level = jAnd;
    else if (w == u"LIKE" || w == u"IN" || w == u"BETWEEN" || w == u"IS")
        op->level = jCompare;
    else if (w == u"MOD")
        op->level = jMod;
    else
        return false;
    return true;
}

SqlExpr JetSqlParser::expression(int minLevel) {
    SqlExpr lhs = grouped(prefix());
    Operator op;
    while (binaryOperator(&op) && op.level >= minLevel) {
        for (int i = 0; i < op.tokens; ++i)
            take();
        lhs = grouped(limited(applyBinary(op, std::move(lhs))));
        op = Operator();
    }
    return lhs;
}

SqlExpr JetSqlParser::limited(SqlExpr e) const {
    if (e.height > kMaxHeight)
        throw DbError(err::QueryTooComplex,
                      QStringLiteral("The statement chains more than %1 operators or calls in one "
                                     "expression, which the engine does not take: \"%2\".")
                          .arg(kMaxHeight)
                          .arg(shownStatement(text_)));
    return e;
}

// The result is marked constant where all operands are.
SqlExpr JetSqlParser::applyBinary(const Operator& op, SqlExpr lhs) {
    const QString& o = op.text;
    if (o == u"IN")
        return inList(std::move(lhs), op.negated);
    if (o == u"IS") {
        const bool isNot = atWord(u"NOT");
        if (isNot)
            take();
        if (!atWord(u"NULL"))
            fail(QStringLiteral("Is must be followed by Null or Not Null"));
        take();
        const int height = lhs.height + 1;
        const bool constant = lhs.constant;
        SqlExpr e = make(operandText(valueOf(std::move(lhs)), kEq - 1) +
                             (isNot ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")),
                         Kind::Condition, kEq, height);
        e.constant = constant;
        return e;
    }
    if (o == u"BETWEEN") {
        SqlExpr lo = valueOf(expression(jCompare + 1));
        expectWord(u"AND");
        SqlExpr hi = valueOf(expression(jCompare + 1));
        SqlExpr x = valueOf(std::move(lhs));
        const bool constant = constantOrReachedOnly({&x, &lo, &hi});
        const bool text = !isNumber(x) && !(isNumber(lo) && isNumber(hi));
        SqlExpr e =
            make((text ? ordered(collated(x), x) : operandText(x, kEq - 1)) +
                     (op.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) +
                     (text ? ordered(comparedOperand(lo, kEq - 1), lo) : operandText(lo, kEq - 1)) +
                     QStringLiteral(" AND ") +
                     (text ? ordered(comparedOperand(hi, kEq - 1), hi) : operandText(hi, kEq - 1)),
                 Kind::Condition, kEq, std::max(x.height, above(lo, hi)) + 2);
        e.constant = constant;
        return e;
    }
    // The right operand binds tighter than the operator (all of Jet's are left-associative).
    SqlExpr rhs = expression(op.level + 1);
    const bool constant = constantOrReachedOnly({&lhs, &rhs});
    SqlExpr e = [&] {
        if (op.level == jCompare && o != u"LIKE")
            return compare(lhs, o, rhs);
        if (o == u"LIKE") {
            SqlExpr like = functionCall(kJetLike, lhs, rhs);
            return op.negated ? notOf(like) : like;
        }
        if (o == u"&")
            return concat(std::move(lhs), rhs);
        if (o == u"+" || o == u"-" || o == u"*" || o == u"/")
            return arithmeticOf(o, std::move(lhs), rhs);
        if (o == u"\\")
            return functionCall(kJetIntDivide, lhs, rhs);
        if (o == u"MOD")
            return functionCall(kJetModulo, lhs, rhs);
        if (o == u"^")
            return functionCall(kJetPower, lhs, rhs);
        if (o == u"AND")
            return logical(lhs, " AND ", rhs, kAnd);
        if (o == u"OR")
            return logical(lhs, " OR ", rhs, kOr);
        if (o == u"XOR")
            return functionCall(kJetXor, lhs, rhs);
        if (o == u"EQV")
            return functionCall(kJetEqv, lhs, rhs);
        return functionCall(kJetImp, lhs, rhs);
    }();
    e.constant = constant;
    return e;
}

SqlExpr JetSqlParser::inList(SqlExpr lhs, bool negated) {
    expectSymbol(u"(");
    Nesting guard(*this);
    QString list;
    bool allNumbers = true;
    int height = 1;
    std::vector<SqlExpr> items;
    if (atWord(u"SELECT")) {
        list = subquery();
        allNumbers = false;
    } else {
        for (;;) {
            items.push_back(valueOf(expression()));
            allNumbers = allNumbers && isNumber(items.back());
            height = std::max(height, items.back().height);
            if (!atSymbol(u","))
                break;
            take();
        }
    }
    expectSymbol(u")");
    SqlExpr x = valueOf(std::move(lhs));
    std::vector<SqlExpr*> parts{&x};
    for (SqlExpr& item : items)
        parts.push_back(&item);
    // A subquery's rows are not constant.
    if (!list.isEmpty())
        x = reachedOnly(std::move(x));
    else
        constantOrReachedOnly(parts);
    const bool text = !isNumber(x) && !allNumbers;
    for (const SqlExpr& item : items) {
        if (!list.isEmpty())
            list += QStringLiteral(", ");
        list += text && forPostgres() ? collated(item) : item.sql;
    }
    return make((text ? collated(x) : operandText(x, kEq - 1)) +
                    (negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) + list + u')',
                Kind::Condition, kEq, std::max(height, x.height) + 2);
}

// On the server, a part of a WHERE or ON condition that is the same for every row and calls
// the engine's functions is worked out by a subquery of its own. The server's planner
// otherwise works out such a part while it estimates how many rows the condition keeps, and
// so raises the error of a call that no row reaches: "x Or y > 1E+15 \\ 3" where x holds for
// every row, or an IIf branch no row takes. A subquery is worked out when a row first needs its
// value, and once only. Only the largest constant parts are wrapped, each where it meets a part
// that is not constant.
SqlExpr JetSqlParser::rowCondition() {
    ++rowConditions_;
    auto leave = qScopeGuard([&] { --rowConditions_; });
    return conditionOf(expression());
}

bool JetSqlParser::constantOrReachedOnly(const std::vector<SqlExpr*>& parts) const {
    const bool constant =
        std::all_of(parts.begin(), parts.end(), [](const SqlExpr* e) { return e->constant; });
    if (!constant) {
        for (SqlExpr* e : parts)
            *e = reachedOnly(std::move(*e));
    }
    return constant;
}

SqlExpr JetSqlParser::reachedOnly(SqlExpr e) const {
    if (rowConditions_ == 0 || !forPostgres() || !e.constant)
        return e;
    SqlExpr v = valueOf(std::move(e));
    if (!v.sql.contains(u"jet_"))
        return v;
    v.sql = QStringLiteral("(SELECT ") + v.sql + u')';
    v.level = kPrimary;
    v.height += 1;
    v.literal = false;
    v.date = false;
    return v;
}

SqlExpr JetSqlParser::prefix() {
    if (atWord(u"NOT")) {
        take();
        Nesting guard(*this);
        return limited(notOf(expression(jNot)));
    }
    if (atSymbol(u"-")) {
        take();
        Nesting guard(*this);
        return limited(negate(expression(jNeg)));
    }
    if (atSymbol(u"+")) {
        take();
        Nesting guard(*this);
        return valueOf(expression(jNeg));
    }
    return primary();
}

}  // namespace velmora::data
