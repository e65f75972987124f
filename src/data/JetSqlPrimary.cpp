// Primary expressions of Jet SQL: literals, names, parameters, subqueries, calls of Jet's
// functions and aggregates, and IIf, which works out only the branch it takes.
#include "JetFunctionCatalog.h"
#include "JetSqlExpressionParts.h"
#include "QueryParameters.h"

#include <QScopeGuard>

#include <utility>

namespace velmora::data {

namespace {
using K = JetToken::Kind;
using Kind = SqlExpr::Kind;
}  // namespace

using namespace jetsql;

SqlExpr JetSqlParser::primary() {
    const JetToken* tok = peek();
    if (!tok)
        fail(QStringLiteral("an expression is missing"));
    switch (tok->kind) {
        case K::Number: {
            take();
            const auto literal = numberLiteral(tok->text);
            if (!literal)
                throw DbError(err::Overflow,
                              QStringLiteral("Overflow (the number %1 at position %2 is beyond the "
                                             "range of numbers) in \"%3\".")
                                  .arg(tok->text.left(40))
                                  .arg(tok->pos + 1)
                                  .arg(shownStatement(text_)));
            return constantOf(make(*literal, Kind::Number, kPrimary));
        }
        case K::String: {
            take();
            SqlExpr e = make(quoteJetLiteral(jetStringContent(*tok)), Kind::Text, kPrimary);
            e.literal = true;
            return constantOf(e);
        }
        case K::Date: {
            take();
            SqlExpr e = make(dateLiteral(*tok, text_), Kind::Text, kPrimary);
            e.literal = true;
            e.date = true;
            return constantOf(e);
        }
        case K::Parameter:
            if (!parameters_.isEmpty())
                fail(QStringLiteral("a statement with PARAMETERS takes its values by name"));
            // PostgreSQL numbers its markers $1, $2, ...
            take();
            return constantOf(
                make(forPostgres() ? u'$' + tok->text.mid(1) : tok->text, Kind::Unknown, kPrimary));
        case K::Bracket:
            return qualifiedName();
        case K::Word:
            break;
        case K::Symbol:
            if (tok->text == u"(") {
                take();
                Nesting guard(*this);
                if (atWord(u"SELECT")) {
                    const QString sub = subquery();
                    expectSymbol(u")");
                    return make(u'(' + sub + u')', Kind::Unknown, kPrimary);
                }
                SqlExpr inner = expression();
                expectSymbol(u")");
                return inner;
            }
            fail(QStringLiteral("an expression is expected"));
        case K::Space:
            break;
    }
    const QString up = tok->text.toUpper();
    if (up == u"YES" || up == u"TRUE") {
        take();
        return constantOf(make(QStringLiteral("-1"), Kind::Number, kUnary));
    }
    if (up == u"NO" || up == u"FALSE") {
        take();
        return constantOf(make(QStringLiteral("0"), Kind::Number, kPrimary));
    }
    if (up == u"NULL") {
        take();
        return constantOf(make(QStringLiteral("NULL"), Kind::Null, kPrimary));
    }
    if (up == u"EXISTS") {
        take();
        expectSymbol(u"(");
        Nesting guard(*this);
        if (!atWord(u"SELECT"))
            fail(QStringLiteral("Exists must be followed by a SELECT in parentheses"));
        const QString sub = subquery();
        expectSymbol(u")");
        return make(QStringLiteral("EXISTS (") + sub + u')', Kind::Condition, kPrimary);
    }
    if (atSymbol(u"(", 1) && !(isReserved(*tok) && up != u"LEFT" && up != u"RIGHT"))
        return call(take());
    if (isReserved(*tok) || up == u"LEFT" || up == u"RIGHT")
        fail(QStringLiteral("an expression is expected"));
    return qualifiedName();
}

SqlExpr JetSqlParser::qualifiedName(QString* lastPart) {
    auto part = [&](const JetToken& tok) {
        if (lastPart)
            *lastPart = tok.is(K::Bracket) ? tok.text.mid(1, tok.text.size() - 2) : tok.text;
        return tok.is(K::Bracket) ? tok.text : u'[' + tok.text + u']';
    };
    if (!atName())
        fail(QStringLiteral("a name is expected"));
    // A declared parameter stands for its value: the marker of its place in the declaration.
    if (!parameters_.isEmpty() && !atSymbol(u".", 1)) {
        const QString name = plainName(*peek());
        qsizetype k = 0;
        while (k < parameters_.size() && parameters_[k].compare(name, Qt::CaseInsensitive) != 0)
            ++k;
        if (k < parameters_.size()) {
            take();
            return parameterMarker(k);
        }
    }
    const JetToken* last = &take();
    QString sql = part(*last);
    while (atSymbol(u".")) {
        take();
        if (!atName())
            fail(QStringLiteral("a name is expected after '.'"));
        last = &take();
        sql += u'.' + part(*last);
    }
    SqlExpr e = make(sql, Kind::Unknown, kPrimary);
    e.column = true;
    e.dateValue =
        !forPostgres() && dateColumns_ && dateColumns_->contains(plainName(*last).toLower());
    return e;
}

// The marker of the k-th declared parameter. The server is told the declared type, which it
// cannot infer where the engine's functions take several.
SqlExpr JetSqlParser::parameterMarker(qsizetype k) {
    const QString n = QString::number(k + 1);
    const ParameterKind kind = parameterKind(parameterTypes_[k]);
    const Kind valueKind = kind == ParameterKind::Text   ? Kind::Text
                           : kind == ParameterKind::Date ? Kind::Unknown
                                                         : Kind::Number;
    if (!forPostgres())
        return constantOf(make(u'?' + n, valueKind, kPrimary));
    const char* type = kind == ParameterKind::Text    ? "text"
                       : kind == ParameterKind::Date  ? "timestamp"
                       : kind == ParameterKind::Whole ? "bigint"
                       : kind == ParameterKind::YesNo ? "bigint"
                                                      : "double precision";
    SqlExpr e =
        make(QStringLiteral("CAST($%1 AS %2)").arg(n, QLatin1String(type)), valueKind, kPrimary);
    e.dated = kind == ParameterKind::Date;
    return constantOf(e);
}

SqlExpr JetSqlParser::call(const JetToken& name) {
    const QString lower = name.text.toLower();
    const bool aggregate = aggregateNames().contains(u' ' + lower + u' ');
    const JetFunctionInfo* info = findJetFunction(lower);
    // Only the functions of the catalog and Jet's aggregates are passed on: any other name
    // would reach the database engine's own functions (on a file or on the server), which
    // read files, change settings or run other SQL.
    if (!info && !aggregate)
        throw DbError(err::UndefinedFunction,
                      QStringLiteral("Undefined function '%1' in expression.").arg(name.text));
    expectSymbol(u"(");
    Nesting guard(*this);
    std::vector<SqlExpr> args;
    // An aggregate reads every row of its group as it is.
    if (aggregate)
        ++aggregateDepth_;
    auto leaveAggregate = qScopeGuard([&] {
        if (aggregate)
            --aggregateDepth_;
    });
    if (!atSymbol(u")")) {
        for (;;) {
            if (atSymbol(u",") || atSymbol(u")"))
                args.push_back(constantOf(make(QStringLiteral("NULL"), Kind::Null, kPrimary)));
            else if (lower == u"count" && atSymbol(u"*") && args.empty())
                args.push_back(make(take().text, Kind::Unknown, kPrimary));
            else
                args.push_back(expression());
            if (!atSymbol(u","))
                break;
            take();
        }
    }
    expectSymbol(u")");
    leaveAggregate.dismiss();
    if (aggregate) {
        --aggregateDepth_;
        aggregateSeen_ = true;
    }
    // An aggregate is never constant (nor met in a WHERE or ON condition).
    std::vector<SqlExpr*> parts;
    for (SqlExpr& a : args)
        parts.push_back(&a);
    const bool constant = constantOrReachedOnly(parts) && !aggregate;
    if (lower == u"iif") {
        SqlExpr e = iif(args);
        e.constant = constant;
        return e;
    }
    if (lower == u"nz") {
        for (SqlExpr& a : args)
            a = typedDate(std::move(a));
    }
    if (info && (static_cast<int>(args.size()) < info->minArgs ||
                 static_cast<int>(args.size()) > info->maxArgs)) {
        fail(QStringLiteral("%1 takes %2 argument(s), not %3")
                 .arg(name.text)
                 .arg(info->minArgs == info->maxArgs
                          ? QString::number(info->minArgs)
                          : QStringLiteral("%1 to %2").arg(info->minArgs).arg(info->maxArgs))
                 .arg(args.size()));
    }
    int height = 1;
    for (const SqlExpr& a : args)
        height = std::max(height, a.height + 1);
    if (isShortYearDateFormat(lower, args)) {
        SqlExpr e = limited(make(QStringLiteral("to_char(") + valueOf(std::move(args[0])).sql +
                                     QStringLiteral(", 'MM/DD/YY')"),
                                 Kind::Text, kPrimary, height));
        e.constant = constant;
        return e;
    }
    // First and Last are the engine's own aggregates.
    QString sql =
        info || lower == u"first" || lower == u"last" ? QStringLiteral("jet_") + lower : name.text;
    sql += u'(';
    for (size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            sql += QStringLiteral(", ");
        sql += valueOf(std::move(args[i])).sql;
    }
    sql += u')';
    Kind kind = Kind::Unknown;
    if (info)
        kind = info->kind == JetResultKind::Number ? Kind::Number
               : info->kind == JetResultKind::Text ? Kind::Text
                                                   : Kind::Unknown;
    else if (lower == u"count" || lower == u"sum" || lower == u"avg")
        kind = Kind::Number;
    SqlExpr e = limited(make(sql, kind, kPrimary, height));
    e.dated = isDateFunction(lower);
    e.constant = constant;
    return e;
}

// Format of a date on the server with "mm/dd/yy", the picture of the reports' date columns,
// is the server's own to_char, as the engine's Format gives it for that picture (a Null date
// stays Null). The engine's Format is a procedure, and the server loads the language of
// procedures into a session on its first call: about 3 ms of the first query on each new
// connection, such as the time remaining list's.
bool JetSqlParser::isShortYearDateFormat(const QString& lower,
                                         const std::vector<SqlExpr>& args) const {
    return forPostgres() && lower == u"format" && args.size() == 2 && args[0].dated &&
           args[1].literal && !args[1].date &&
           args[1].sql.compare(u"'mm/dd/yy'", Qt::CaseInsensitive) == 0;
}

SqlExpr JetSqlParser::iif(std::vector<SqlExpr>& args) {
    if (args.size() < 2 || args.size() > 3)
        fail(QStringLiteral("IIf takes three arguments"));
    // Only the chosen branch is evaluated; an empty third argument gives Null.
    const SqlExpr test = conditionOf(std::move(args[0]));
    const SqlExpr yes = valueOf(typedDate(std::move(args[1])));
    SqlExpr no = args.size() == 3 ? typedDate(std::move(args[2]))
                                  : make(QStringLiteral("NULL"), Kind::Null, 0);
    SqlExpr e =
        make(QString(), combined(yes.kind, no.kind == Kind::Condition ? Kind::Number : no.kind),
             kPrimary);
    e.openCase = true;
    e.dated = yes.dated || no.dated;
    e.dateValue = !forPostgres() && (holdsDate(yes) || holdsDate(no));
    e.height = std::max({test.height, yes.height, no.height}) + 1;
    e.whens = QStringLiteral("WHEN ") + test.sql + QStringLiteral(" THEN ") + yes.sql;
    if (no.openCase) {
        e.whens += u' ' + no.whens;
        e.otherwise = std::move(no.otherwise);
    } else {
        e.otherwise = valueOf(std::move(no)).sql;
    }
    return e;
}

QString JetSqlParser::subquery() {
    Nesting guard(*this);
    const bool aggregate = aggregateSeen_;
    const QStringList aliases = textAliases_;
    const QHash<QString, QString> items = itemAliases_;
    const bool distinctRows = distinctRows_;
    std::vector<GroupTerm> groups;
    groups.swap(groupTerms_);
    const bool showGroups = std::exchange(showGroups_, false);
    const bool wholeGroupTerms = wholeGroupTerms_;
    const std::vector<SqlExpr> itemExprs = itemExprs_;
    const bool rowIdFirst = rowIdFirst_;
    const bool tableColumns = tableColumns_;
    const int rowConditions = std::exchange(rowConditions_, 0);
    const QString sql = select(nullptr);
    rowConditions_ = rowConditions;
    tableColumns_ = tableColumns;
    itemExprs_ = itemExprs;
    rowIdFirst_ = rowIdFirst;
    groupTerms_.swap(groups);
    showGroups_ = showGroups;
    wholeGroupTerms_ = wholeGroupTerms;
    aggregateSeen_ = aggregate;
    textAliases_ = aliases;
    itemAliases_ = items;
    distinctRows_ = distinctRows;
    return sql;
}

}  // namespace velmora::data
