#include "QueryParameters.h"

#include "DbError.h"
#include "JetCurrency.h"
#include "JetDates.h"

#include <cmath>
#include <limits>

namespace velmora::data {

namespace {

using K = JetToken::Kind;

[[noreturn]] void badClause(const QString& why, const QString& statement) {
    throw DbError(err::SyntaxError, QStringLiteral("Syntax error in PARAMETERS declaration: %1 "
                                                   "in \"%2\".")
                                        .arg(why, statement.left(300)));
}

QString tokenName(const JetToken& t) {
    return t.is(K::Bracket) ? t.text.mid(1, t.text.size() - 2) : t.text;
}

[[noreturn]] void notOfType(const QueryParameter& p, const QString& text) {
    throw DbError(err::TypeMismatch,
                  QStringLiteral("The value \"%1\" given for the parameter '%2' is no %3.")
                      .arg(text.left(40), p.name, p.type));
}

Value wholeNumber(const QueryParameter& p, const QString& text, double lo, double hi) {
    double d = 0;
    if (!Value::parseNumber(text.trimmed(), &d) || d != std::floor(d) || d < lo || d > hi)
        notOfType(p, text);
    return Value(static_cast<std::int64_t>(d));
}

}  // namespace

std::vector<QueryParameter> readParameterClause(const std::vector<JetToken>& tokens, size_t* pos,
                                                const QString& statement) {
    std::vector<QueryParameter> out;
    size_t& i = *pos;
    ++i;  // PARAMETERS
    auto at = [&](size_t k) { return k < tokens.size() ? &tokens[k] : nullptr; };
    for (;;) {
        const JetToken* name = at(i);
        if (!name || !(name->is(K::Word) || name->is(K::Bracket)))
            badClause(QStringLiteral("a parameter's name is expected"), statement);
        QueryParameter p;
        p.name = tokenName(*name);
        if (p.name.trimmed().isEmpty())
            badClause(QStringLiteral("a parameter has no name"), statement);
        for (const QueryParameter& q : out) {
            if (q.name.compare(p.name, Qt::CaseInsensitive) == 0)
                badClause(QStringLiteral("the parameter '%1' is declared twice").arg(p.name),
                          statement);
        }
        ++i;
        if (const JetToken* type = at(i); type && type->is(K::Word)) {
            p.type = type->text;
            ++i;
            if (at(i) && at(i)->isSymbol(u"(")) {
                p.type += u'(';
                for (++i; at(i) && !at(i)->isSymbol(u")"); ++i)
                    p.type += at(i)->text;
                if (!at(i))
                    badClause(QStringLiteral("a parenthesis is not closed"), statement);
                p.type += u')';
                ++i;
            }
        } else {
            p.type = QStringLiteral("Value");
        }
        out.push_back(p);
        const JetToken* next = at(i);
        if (next && next->isSymbol(u",")) {
            ++i;
            continue;
        }
        if (next && next->isSymbol(u";")) {
            ++i;
            return out;
        }
        badClause(QStringLiteral("',' or ';' is expected after the parameter '%1'").arg(p.name),
                  statement);
    }
}

std::vector<QueryParameter> declaredParameters(const QString& jetSql) {
    std::vector<JetToken> tokens;
    for (JetToken& t : tokenizeJetSql(jetSql)) {
        if (!t.is(K::Space))
            tokens.push_back(std::move(t));
    }
    if (tokens.empty() || !tokens.front().isWord(u"PARAMETERS"))
        return {};
    size_t pos = 0;
    return readParameterClause(tokens, &pos, jetSql);
}

ParameterKind parameterKind(const QString& declaredType) {
    const QString type = declaredType.section(u'(', 0, 0).trimmed().toLower();
    for (const char* t : {"byte", "short", "integer", "integer1", "integer2", "long", "integer4",
                          "counter", "autoincrement"}) {
        if (type == QLatin1String(t))
            return ParameterKind::Whole;
    }
    for (const char* t : {"bit", "yesno", "logical", "boolean"}) {
        if (type == QLatin1String(t))
            return ParameterKind::YesNo;
    }
    if (type == u"currency" || type == u"money")
        return ParameterKind::Currency;
    for (const char* t :
         {"ieeesingle", "single", "ieeedouble", "double", "float", "decimal", "numeric", "real"}) {
        if (type == QLatin1String(t))
            return ParameterKind::Number;
    }
    if (type == u"datetime" || type == u"date" || type == u"time")
        return ParameterKind::Date;
    return ParameterKind::Text;
}

Value parameterValue(const QueryParameter& p, const QString& text) {
    const QString type = p.type.section(u'(', 0, 0).trimmed().toLower();
    switch (parameterKind(p.type)) {
        case ParameterKind::Whole:
            if (type == u"byte" || type == u"integer1")
                return wholeNumber(p, text, 0, 255);
            if (type == u"short" || type == u"integer" || type == u"integer2")
                return wholeNumber(p, text, -32768, 32767);
            return wholeNumber(p, text, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max());
        case ParameterKind::YesNo: {
            const QString t = text.trimmed().toLower();
            if (t == u"yes" || t == u"true" || t == u"-1" || t == u"on")
                return Value(std::int64_t{-1});
            if (t == u"no" || t == u"false" || t == u"0" || t == u"off")
                return Value(std::int64_t{0});
            notOfType(p, text);
        }
        case ParameterKind::Currency: {
            double d = 0;
            if (!Value::parseNumber(text.trimmed(), &d))
                notOfType(p, text);
            try {
                return jetCurrency(Value(d));
            } catch (const DbError&) {
                notOfType(p, text);
            }
        }
        case ParameterKind::Number: {
            double d = 0;
            if (!Value::parseNumber(text.trimmed(), &d) || !std::isfinite(d))
                notOfType(p, text);
            return Value(d);
        }
        case ParameterKind::Date: {
            const auto dt = parseJetDateTime(text.trimmed());
            if (!dt)
                notOfType(p, text);
            return Value(storedDateText(*dt));
        }
        case ParameterKind::Text:
            break;
    }
    return Value(text);
}

}  // namespace velmora::data
