// Jet statements read clause by clause: SELECT (with joins, subqueries, UNION, TOP), INSERT,
// UPDATE, DELETE and the data definition statements. Every expression in them goes through
// the expression parser; anything else is refused rather than passed on unread.
#include "DbError.h"
#include "JetSqlNames.h"
#include "JetSqlParser.h"
#include "QueryParameters.h"

#include <QRegularExpression>
#include <QScopeGuard>

namespace velmora::data {

namespace {

using K = JetToken::Kind;

QString bracketed(const QString& name) {
    return u'[' + name + u']';
}

// Where the k-th * item of a SELECT stands until its tables are known.
QString starPlaceholder(qsizetype k) {
    return QStringLiteral("\x01%1\x01").arg(k);
}

bool isClauseWord(const JetToken& tok) {
    for (const char* w :
         {"FROM", "WHERE", "GROUP", "HAVING", "ORDER", "UNION", "INTO", "ON", "INNER", "LEFT",
          "RIGHT", "OUTER", "JOIN", "AS", "ASC", "DESC", "SELECT", "SET", "VALUES"}) {
        if (tok.isWord(QString::fromLatin1(w)))
            return true;
    }
    return false;
}

}  // namespace

QString plainName(const JetToken& tok) {
    if (tok.is(K::Bracket))
        return tok.text.mid(1, tok.text.size() - 2);
    if (tok.is(K::String))
        return jetStringContent(tok);
    return tok.text;
}

namespace {
thread_local SqlDialect dialectInUse = SqlDialect::Sqlite;
}  // namespace

SqlDialect currentDialect() {
    return dialectInUse;
}

JetSqlParser::~JetSqlParser() {
    dialectInUse = outerDialect_;
}

JetSqlParser::JetSqlParser(const QString& text, SqlDialect dialect)
    : text_(text), outerDialect_(dialectInUse) {
    dialectInUse = dialect;
    for (JetToken& tok : tokenizeJetSql(text)) {
        if (!tok.is(K::Space))
            t_.push_back(std::move(tok));
    }
}

const JetToken* JetSqlParser::peek(size_t ahead) const {
    return pos_ + ahead < t_.size() ? &t_[pos_ + ahead] : nullptr;
}

bool JetSqlParser::atWord(QStringView w, size_t ahead) const {
    const JetToken* tok = peek(ahead);
    return tok && tok->isWord(w);
}

bool JetSqlParser::atSymbol(QStringView s, size_t ahead) const {
    const JetToken* tok = peek(ahead);
    return tok && tok->isSymbol(s);
}

bool JetSqlParser::atName(size_t ahead) const {
    const JetToken* tok = peek(ahead);
    return tok && (tok->is(K::Word) || tok->is(K::Bracket));
}

const JetToken& JetSqlParser::take() {
    if (atEnd())
        fail(QStringLiteral("the statement ends too early"));
    return t_[pos_++];
}

void JetSqlParser::expectWord(QStringView w) {
    if (!atWord(w))
        fail(QStringLiteral("%1 is expected").arg(w.toString().toUpper()));
    take();
}

void JetSqlParser::expectSymbol(QStringView s) {
    if (!atSymbol(s))
        fail(QStringLiteral("'%1' is expected").arg(s.toString()));
    take();
}

void JetSqlParser::expectEndOfStatement() {
    if (atSymbol(u";"))
        take();
    if (!atEnd())
        fail(QStringLiteral("text is found after the end of the statement"));
}

void JetSqlParser::fail(const QString& what) const {
    const JetToken* tok = peek();
    const QString where =
        tok ? QStringLiteral(" at \"%1\" (position %2)").arg(tok->text.left(40)).arg(tok->pos + 1)
            : QStringLiteral(" at its end");
    throw DbError(err::SyntaxError, QStringLiteral("Syntax error in SQL statement: %1%2 in \"%3\".")
                                        .arg(what, where, shownStatement(text_)));
}

JetTranslation JetSqlParser::statement() {
    if (atEnd() || atSymbol(u";"))
        fail(QStringLiteral("the statement is empty"));
    if (atWord(u"PARAMETERS")) {
        for (const QueryParameter& p : readParameterClause(t_, &pos_, text_)) {
            parameters_ << p.name;
            parameterTypes_ << p.type;
        }
        out_.parameters = parameters_;
        if (atEnd())
            fail(QStringLiteral("a statement is expected after PARAMETERS"));
    }
    if (atWord(u"SELECT")) {
        out_.isSelect = true;
        out_.sql = select(&out_.updatableTable);
    } else if (atWord(u"INSERT")) {
        out_.sql = insertStatement();
    } else if (atWord(u"UPDATE")) {
        out_.sql = updateStatement();
    } else if (atWord(u"DELETE")) {
        out_.sql = deleteStatement();
    } else if (atWord(u"CREATE") && atWord(u"TABLE", 1)) {
        out_.sql = createTable();
    } else if (atWord(u"CREATE") || atWord(u"DROP") || atWord(u"ALTER")) {
        out_.sql = otherDefinition();
    } else {
        fail(
            QStringLiteral("a statement (SELECT, INSERT, UPDATE, DELETE, CREATE, DROP or ALTER) "
                           "is expected"));
    }
    expectEndOfStatement();
    return std::move(out_);
}

QString JetSqlParser::criterion() {
    if (atEnd())
        fail(QStringLiteral("the expression is empty"));
    const QString sql = conditionOf(expression()).sql;
    if (!atEnd())
        fail(QStringLiteral("text is found after the end of the expression"));
    return sql;
}

QString JetSqlParser::tableName(QString* plain) {
    if (!atName())
        fail(QStringLiteral("a table name is expected"));
    const JetToken& tok = take();
    const QString name = plainName(tok);
    if (name.trimmed().isEmpty())
        fail(QStringLiteral("the table has no name"));
    requireDataSetName(name);
    out_.tables << name;
    if (plain)
        *plain = name;
    return bracketed(name);
}

QString JetSqlParser::aliasName() {
    const JetToken* tok = peek();
    if (!tok || !(tok->is(K::Word) || tok->is(K::Bracket) || tok->is(K::String)))
        fail(QStringLiteral("a name is expected after AS"));
    const QString name = plainName(take());
    if (name.contains(u']'))
        fail(QStringLiteral("a name cannot hold ']'"));
    return bracketed(name);
}

QString JetSqlParser::select(QString* updatableTable) {
    textAliases_.clear();
    itemAliases_.clear();
    distinctRows_ = false;
    QString limit;
    QStringList firstStars;
    QString sql = selectCore(&limit, updatableTable, &firstStars);
    bool compound = false;
    while (atWord(u"UNION")) {
        take();
        sql += QStringLiteral(" UNION ");
        if (atWord(u"ALL")) {
            take();
            sql += QStringLiteral("ALL ");
        }
        compound = true;
        distinctRows_ = true;
        QString partLimit;
        QStringList partStars;
        sql += selectCore(&partLimit, nullptr, &partStars);
        if (!partLimit.isEmpty())
            limit = partLimit;
    }
    if (compound && !limit.isEmpty())
        fail(QStringLiteral("TOP cannot be used in a UNION"));
    // The rows a statement reads by itself are given without the row id (the record set
    // leaves it out), so there * of a table stays as it is.
    if (updatableTable && !compound)
        keepStarsAsWritten(&sql, firstStars);
    // A file gives the rows of one table in the order they were added, and rows that sort
    // alike in that order too; a server gives them in any order unless told.
    const bool inAddedOrder =
        forPostgres() && !compound && updatableTable && !updatableTable->isEmpty();
    if (atWord(u"ORDER")) {
        take();
        expectWord(u"BY");
        sql += QStringLiteral(" ORDER BY ") + orderTerms(true);
        if (inAddedOrder)
            sql += QStringLiteral(", ") + QLatin1String(kRowIdColumn);
    } else if (inAddedOrder) {
        sql += QStringLiteral(" ORDER BY ") + QLatin1String(kRowIdColumn);
    }
    if (!limit.isEmpty())
        sql += QStringLiteral(" LIMIT ") + limit;
    return sql;
}

QString JetSqlParser::selectCore(QString* limit, QString* updatableTable,
                                 QStringList* starMarkers) {
    expectWord(u"SELECT");
    // Items of a subquery among this SELECT's items have * items of their own.
    QStringList outerStars;
    outerStars.swap(stars_);
    const auto restoreStars = qScopeGuard([&] { stars_.swap(outerStars); });
    QString head = QStringLiteral("SELECT ");
    bool distinct = false;
    if (atWord(u"DISTINCT") || atWord(u"DISTINCTROW")) {
        take();
        head += QStringLiteral("DISTINCT ");
        distinct = true;
        distinctRows_ = true;
    } else if (atWord(u"ALL")) {
        take();
    }
    if (atWord(u"TOP")) {
        take();
        const JetToken* n = peek();
        if (!n || !n->is(K::Number) || n->text.contains(u'.') || n->text.contains(u'e') ||
            n->text.contains(u'E'))
            fail(QStringLiteral("TOP needs a whole number"));
        *limit = take().text;
        if (atWord(u"PERCENT"))
            fail(QStringLiteral("TOP ... PERCENT is not supported"));
    }
    const bool outerAggregate = aggregateSeen_;
    aggregateSeen_ = false;
    QString items;
    int exprNumber = 1000;
    for (;;) {
        if (!items.isEmpty())
            items += QStringLiteral(", ");
        items += selectItem(&exprNumber);
        if (!atSymbol(u","))
            break;
        take();
    }
    bool simple = !distinct && !aggregateSeen_;
    aggregateSeen_ = outerAggregate;
    if (atWord(u"INTO"))
        fail(QStringLiteral("SELECT ... INTO (a make-table query) is not supported"));
    QString rest, table, owner;
    int tables = 0;
    std::vector<FromSource> sources;
    if (atWord(u"FROM")) {
        take();
        rest += QStringLiteral(" FROM ") + fromClause(&tables, &table, &owner, &sources);
    }
    // * items are known once the tables are: on the server each becomes the columns of the
    // tables it stands for.
    QStringList markers;
    for (qsizetype k = 0; k < stars_.size(); ++k) {
        replaceOutsideQuotes(&items, starPlaceholder(k), starColumns(stars_[k], sources, &markers));
    }
    if (!distinct)
        *starMarkers << markers;
    if (atWord(u"WHERE")) {
        take();
        rest += QStringLiteral(" WHERE ") + conditionOf(expression()).sql;
    }
    if (atWord(u"GROUP")) {
        take();
        expectWord(u"BY");
        rest += QStringLiteral(" GROUP BY ") + orderTerms(false);
        simple = false;
    }
    if (atWord(u"HAVING")) {
        take();
        rest += QStringLiteral(" HAVING ") + conditionOf(expression()).sql;
        simple = false;
    }
    // Rows read from one table carry their row id, so that they can be written back.
    if (updatableTable && simple && tables == 1 && !atWord(u"UNION")) {
        *updatableTable = table;
        // PostgreSQL tables made by the engine carry their row id as a column of that name.
        head += owner +
                (forPostgres() ? QStringLiteral(".[%1] AS ").arg(QLatin1String(kPgRowIdColumn))
                               : QStringLiteral(".rowid AS ")) +
                QLatin1String(kRowIdColumn) + QStringLiteral(", ");
    }
    return head + items + rest;
}

QString JetSqlParser::selectItem(int* exprNumber) {
    if (atSymbol(u"*")) {
        take();
        if (!forPostgres())
            return QStringLiteral("*");
        stars_ << QString();
        return starPlaceholder(stars_.size() - 1);
    }
    // table.* (the table possibly qualified itself)
    for (size_t k = 0; atName(k) && atSymbol(u".", k + 1); k += 2) {
        if (atSymbol(u"*", k + 2)) {
            QString sql;
            for (size_t i = 0; i <= k; i += 2) {
                sql += bracketed(plainName(take())) + u'.';
                take();  // the dot
            }
            take();  // the star
            if (!forPostgres())
                return sql + u'*';
            sql.chop(1);  // the dot
            stars_ << sql;
            return starPlaceholder(stars_.size() - 1);
        }
    }
    const SqlExpr e = valueOf(expression());
    QString alias;
    if (atWord(u"AS")) {
        take();
        alias = aliasName();
    } else if (atName() && !isClauseWord(*peek())) {
        alias = aliasName();
    }
    // A computed column without a name gets Jet's: Expr1000, Expr1001, ...
    if (alias.isEmpty() && !e.column)
        alias = QStringLiteral("[Expr%1]").arg((*exprNumber)++);
    if (!alias.isEmpty())
        out_.spelledNames << alias.mid(1, alias.size() - 2);
    if (!e.column && !alias.isEmpty() && !itemAliases_.contains(e.sql))
        itemAliases_.insert(e.sql, alias);
    // Sorting by the name of a computed text sorts it as text compares.
    if (!e.column && e.kind != SqlExpr::Kind::Number)
        textAliases_ << alias;
    return alias.isEmpty() ? e.sql : e.sql + QStringLiteral(" AS ") + alias;
}

// Markers of * items put back as *: the table's row id does no harm there.
void JetSqlParser::keepStarsAsWritten(QString* sql, const QStringList& markers) {
    out_.starColumns.removeIf([&](const JetTranslation::StarColumns& star) {
        if (!markers.contains(star.marker))
            return false;
        replaceOutsideQuotes(sql, star.marker, star.qualifier + QStringLiteral(".*"));
        return true;
    });
}

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
                add(QStringLiteral("ON ") + conditionOf(expression()).sql);
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

namespace {

// A literal or Null, of which an ORDER BY or GROUP BY term may consist.
bool isConstant(const SqlExpr& e) {
    static const QRegularExpression number(
        QStringLiteral("^-?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (e.kind == SqlExpr::Kind::Null || e.literal)
        return true;
    return e.kind == SqlExpr::Kind::Number && !e.column && number.match(e.sql).hasMatch();
}

// A whole number written as such (no sign, point or exponent): in ORDER BY, the position of
// a column of the result.
bool isColumnPosition(const SqlExpr& e) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return e.kind == SqlExpr::Kind::Number && !e.column && digits.match(e.sql).hasMatch();
}

}  // namespace

QString JetSqlParser::orderTerms(bool directions) {
    QString out;
    for (;;) {
        if (!out.isEmpty())
            out += QStringLiteral(", ");
        SqlExpr term = expression();
        const bool alias = term.column && textAliases_.contains(term.sql, Qt::CaseInsensitive);
        const QString item = term.column ? QString() : itemAliases_.value(valueOf(term).sql);
        if (directions && isColumnPosition(term)) {
            // ORDER BY 3, 1 sorts by the third and the first column of the result, as in
            // Jet; both back ends read a whole number there alike.
            out += term.sql;
        } else if (forPostgres() && directions && distinctRows_ && !item.isEmpty()) {
            // The server sorts distinct rows only by their columns: an expression that is
            // one of them (a constant too) is sorted by its name, which keeps the collation
            // of what it reads.
            out += item;
        } else if (isConstant(term)) {
            // Any other constant sorts and groups every row alike, as in Jet; written as an
            // expression, neither back end takes it for the number of a column (nor does
            // the server refuse one that is not a whole number).
            out += QStringLiteral("CAST(") + valueOf(term).sql + QStringLiteral(" AS ") +
                   (term.kind == SqlExpr::Kind::Number ? QStringLiteral("REAL")
                                                       : QStringLiteral("TEXT")) +
                   u')';
        } else if (forPostgres() && (alias || !directions)) {
            // PostgreSQL takes the name of a computed column only on its own, and groups
            // only by the expressions that the columns read.
            out += valueOf(term).sql;
        } else {
            if (alias)
                term.column = false;
            out += sortTermText(term, distinctRows_);
        }
        bool descending = false;
        if (directions && (atWord(u"ASC") || atWord(u"DESC"))) {
            const QString direction = take().text.toUpper();
            descending = direction == QStringLiteral("DESC");
            out += u' ' + direction;
        }
        // Null sorts before every value, as in Jet (and on SQLite); the server puts it last.
        if (directions && forPostgres())
            out += descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
        if (!atSymbol(u","))
            break;
        take();
    }
    return out;
}

QString JetSqlParser::insertStatement() {
    expectWord(u"INSERT");
    expectWord(u"INTO");
    QString sql = QStringLiteral("INSERT INTO ") + tableName(&out_.changedTable);
    if (atSymbol(u"(")) {
        take();
        QStringList names;
        for (;;) {
            if (!atName())
                fail(QStringLiteral("a column name is expected"));
            const QString name = plainName(take());
            out_.changedColumns << name;
            names << bracketed(name);
            if (!atSymbol(u","))
                break;
            take();
        }
        expectSymbol(u")");
        sql += QStringLiteral(" (") + names.join(QStringLiteral(", ")) + u')';
    } else if (forPostgres()) {
        // On the server every table made by the engine carries its row id as a column: a
        // source for all of a table's columns gives it a value first, which the server
        // replaces by its own.
        out_.insertsEveryColumn = true;
    }
    return sql + u' ' + insertSource(out_.insertsEveryColumn);
}

QString JetSqlParser::insertSource(bool rowIdFirst) {
    if (atWord(u"VALUES")) {
        take();
        expectSymbol(u"(");
        QStringList values;
        if (rowIdFirst)
            values << QStringLiteral("DEFAULT");
        for (;;) {
            values << valueOf(expression()).sql;
            if (!atSymbol(u","))
                break;
            take();
        }
        expectSymbol(u")");
        return QStringLiteral("VALUES (") + values.join(QStringLiteral(", ")) + u')';
    }
    if (atWord(u"SELECT") && rowIdFirst)
        return QStringLiteral("SELECT 0, s.* FROM (") + select(nullptr) + QStringLiteral(") AS s");
    if (atWord(u"SELECT"))
        return select(nullptr);
    fail(QStringLiteral("VALUES or SELECT is expected"));
}

QString JetSqlParser::updateStatement() {
    expectWord(u"UPDATE");
    QString table;
    QString sql = QStringLiteral("UPDATE ") + tableName(&table) + QStringLiteral(" SET ");
    out_.changedTable = table;
    expectWord(u"SET");
    for (bool first = true;; first = false) {
        if (!atName())
            fail(QStringLiteral("a column name is expected"));
        QString column = plainName(take());
        if (atSymbol(u".")) {
            // "SET Aircraft.TotalTime = ...": the table named must be the one updated.
            if (column.compare(table, Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("only columns of %1 can be set").arg(table));
            take();
            if (!atName())
                fail(QStringLiteral("a column name is expected"));
            column = plainName(take());
        }
        out_.changedColumns << column;
        expectSymbol(u"=");
        if (!first)
            sql += QStringLiteral(", ");
        sql += bracketed(column) + QStringLiteral(" = ") + valueOf(expression()).sql;
        if (!atSymbol(u","))
            break;
        take();
    }
    if (atWord(u"WHERE")) {
        take();
        sql += QStringLiteral(" WHERE ") + conditionOf(expression()).sql;
    }
    return sql;
}

QString JetSqlParser::deleteStatement() {
    expectWord(u"DELETE");
    // Jet writes "DELETE * FROM t" and "DELETE t.* FROM t".
    if (atSymbol(u"*")) {
        take();
    } else if (atName() && atSymbol(u".", 1) && atSymbol(u"*", 2)) {
        take();
        take();
        take();
    }
    expectWord(u"FROM");
    QString sql = QStringLiteral("DELETE FROM ") + tableName(&out_.changedTable);
    if (atWord(u"WHERE")) {
        take();
        sql += QStringLiteral(" WHERE ") + conditionOf(expression()).sql;
    }
    return sql;
}

QString JetSqlParser::otherDefinition() {
    if (atWord(u"CREATE")) {
        take();
        QString sql = QStringLiteral("CREATE ");
        if (atWord(u"UNIQUE")) {
            take();
            sql += QStringLiteral("UNIQUE ");
        }
        expectWord(u"INDEX");
        if (!atName())
            fail(QStringLiteral("an index name is expected"));
        sql += QStringLiteral("INDEX ") + bracketed(plainName(take()));
        expectWord(u"ON");
        sql += QStringLiteral(" ON ") + tableName() + QStringLiteral(" (");
        expectSymbol(u"(");
        for (bool first = true;; first = false) {
            if (!atName())
                fail(QStringLiteral("a column name is expected"));
            if (!first)
                sql += QStringLiteral(", ");
            // On PostgreSQL the index holds the values as the translated comparisons read
            // them, so that they can use it.
            sql += forPostgres()
                       ? QLatin1String(kPgJetText) + u'(' + bracketed(plainName(take())) + u')'
                       : bracketed(plainName(take()));
            if (atWord(u"ASC") || atWord(u"DESC"))
                sql += u' ' + take().text.toUpper();
            if (!atSymbol(u","))
                break;
            take();
        }
        expectSymbol(u")");
        return sql + u')';
    }
    if (atWord(u"DROP")) {
        take();
        if (atWord(u"TABLE")) {
            take();
            return QStringLiteral("DROP TABLE ") + tableName();
        }
        expectWord(u"INDEX");
        if (!atName())
            fail(QStringLiteral("an index name is expected"));
        const QString sql = QStringLiteral("DROP INDEX ") + bracketed(plainName(take()));
        if (atWord(u"ON")) {  // Jet names the table too
            take();
            tableName();
        }
        return sql;
    }
    expectWord(u"ALTER");
    expectWord(u"TABLE");
    QString table;
    QString sql = QStringLiteral("ALTER TABLE ") + tableName(&table);
    if (atWord(u"ADD")) {
        take();
        if (atWord(u"COLUMN"))
            take();
        return sql + QStringLiteral(" ADD COLUMN ") + columnDefinition(table);
    }
    expectWord(u"DROP");
    if (atWord(u"COLUMN"))
        take();
    if (!atName())
        fail(QStringLiteral("a column name is expected"));
    return sql + QStringLiteral(" DROP COLUMN ") + bracketed(plainName(take()));
}

}  // namespace velmora::data
