// The FROM clause: tables, stored queries and subqueries, joins with their ON conditions,
// and the columns a * item stands for.
#include "JetSqlParser.h"

namespace velmora::data {

namespace {
using K = JetToken::Kind;
}  // namespace

// The columns one * item stands for: those of every table and subquery of the FROM clause,
// or of the one its qualifier names. A table's columns are a marker the back end replaces;
// a subquery's are its own.
QString JetSqlParser::starColumns(const QString& qualifier, const std::vector<FromSource>& sources,
                                  QStringList* starMarkers) {
    auto of = [&](const FromSource& source) {
        if (source.table.isEmpty())
            return source.qualifier.isEmpty() ? QStringLiteral("*")
                                              : source.qualifier + QStringLiteral(".*");
        const QString marker = QStringLiteral("__velmora_star_%1__").arg(starMarkersMade_++);
        out_.starColumns.push_back({marker, source.table, source.qualifier});
        *starMarkers << marker;
        return marker;
    };
    if (qualifier.isEmpty()) {
        if (sources.empty())
            return QStringLiteral("*");
        QStringList all;
        for (const FromSource& source : sources)
            all << of(source);
        return all.join(QStringLiteral(", "));
    }
    for (const FromSource& source : sources) {
        if (source.qualifier.compare(qualifier, Qt::CaseInsensitive) == 0)
            return of(source);
    }
    return qualifier + QStringLiteral(".*");
}

QString JetSqlParser::fromClause(int* tables, QString* table, QString* rowIdOwner,
                                 std::vector<FromSource>* sources) {
    QString out;
    auto add = [&out](const QString& piece) {
        if (!out.isEmpty() && !out.endsWith(u'('))
            out += u' ';
        out += piece;
    };
    int open = 0;
    bool expectTable = true;
    bool joined = false;
    for (;;) {
        const JetToken* tok = peek();
        if (!tok || tok->isSymbol(u";"))
            break;
        if (tok->isSymbol(u")")) {
            if (open == 0)
                break;
            take();
            out += u')';
            --open;
            --nesting_;
            expectTable = false;
            continue;
        }
        if (tok->isSymbol(u"(")) {
            take();
            if (atWord(u"SELECT")) {
                add(u'(' + subquery() + u')');
                expectSymbol(u")");
                sources->push_back({});
                joined = true;
                expectTable = false;
                // Jet names a subquery that has no name; the server wants one.
                const JetToken* next = peek();
                const bool named = next && (next->is(K::Bracket) || next->isWord(u"AS") ||
                                            (next->is(K::Word) && !isClauseWord(*next) &&
                                             !next->isWord(u"CROSS") && !next->isWord(u"FULL")));
                if (forPostgres() && !named) {
                    const QString alias = QStringLiteral("[Subquery%1]").arg(sources->size());
                    add(QStringLiteral("AS ") + alias);
                    sources->back().qualifier = alias;
                }
            } else {
                if (++nesting_ > kMaxNesting)
                    fail(QStringLiteral("the tables are nested too deeply"));
                add(QStringLiteral("("));
                ++open;
            }
            continue;
        }
        if (tok->isSymbol(u",")) {
            take();
            out += QStringLiteral(",");
            expectTable = true;
            joined = true;
            continue;
        }
        if (tok->is(K::Word)) {
            const QString up = tok->text.toUpper();
            if (open == 0 && (up == u"WHERE" || up == u"GROUP" || up == u"HAVING" ||
                              up == u"ORDER" || up == u"UNION"))
                break;
            if (up == u"INNER" || up == u"LEFT" || up == u"RIGHT" || up == u"OUTER" ||
                up == u"CROSS" || up == u"FULL") {
                take();
                add(up);
                continue;
            }
            if (up == u"JOIN") {
                take();
                add(up);
                expectTable = true;
                joined = true;
                continue;
            }
            if (up == u"ON") {
                take();
                add(QStringLiteral("ON ") + rowCondition().sql);
                expectTable = false;
                continue;
            }
            if (up == u"AS") {
                take();
                const QString alias = aliasName();
                add(QStringLiteral("AS ") + alias);
                *rowIdOwner = alias;
                if (!sources->empty())
                    sources->back().qualifier = alias;
                continue;
            }
            if (isClauseWord(*tok) || up == u"IN")
                fail(QStringLiteral("this has no place among the tables"));
        } else if (!tok->is(K::Bracket)) {
            fail(QStringLiteral("a table name is expected"));
        }
        if (expectTable) {
            QString plain;
            const QString name = tableName(&plain);
            if (const QString stored = storedQuerySelect(plain); !stored.isNull()) {
                // A stored query is read as a subquery named after it (or as written).
                add(u'(' + stored + u')');
                sources->push_back({name, QString()});
                joined = true;
                expectTable = false;
                const JetToken* next = peek();
                const bool named = next && (next->is(K::Bracket) || next->isWord(u"AS") ||
                                            (next->is(K::Word) && !isClauseWord(*next) &&
                                             !next->isWord(u"CROSS") && !next->isWord(u"FULL")));
                if (!named)
                    add(QStringLiteral("AS ") + name);
                continue;
            }
            add(name);
            sources->push_back({name, plain});
            if (++*tables == 1) {
                *table = plain;
                *rowIdOwner = name;
            }
            expectTable = false;
        } else {
            const QString alias = aliasName();
            add(alias);
            *rowIdOwner = alias;
            if (!sources->empty())
                sources->back().qualifier = alias;
        }
    }
    if (open != 0)
        fail(QStringLiteral("a parenthesis is not closed"));
    if (*tables == 0 && out.isEmpty())
        fail(QStringLiteral("a table name is expected"));
    if (joined)
        *tables = std::max(*tables, 2);
    return out;
}

}  // namespace velmora::data
