// SELECT read clause by clause: its items (with the groups they show), UNION, TOP, WHERE,
// GROUP BY, HAVING and ORDER BY. Every expression goes through the expression parser;
// anything else is refused rather than passed on unread.
#include "JetSqlParser.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>

namespace velmora::data {

namespace {

using K = JetToken::Kind;

// Where the k-th * item of a SELECT stands until its tables are known.
QString starPlaceholder(qsizetype k) {
    return QStringLiteral("\x01%1\x01").arg(k);
}

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

// A constant as an ORDER BY or GROUP BY term: written as an expression, neither back end
// takes it for the number of a column (nor does the server refuse one that is not a whole
// number), and it sorts and groups every row alike, as in Jet.
QString constantTerm(const SqlExpr& term) {
    return QStringLiteral("CAST(") + valueOf(term).sql + QStringLiteral(" AS ") +
           (term.kind == SqlExpr::Kind::Number ? QStringLiteral("REAL") : QStringLiteral("TEXT")) +
           u')';
}

}  // namespace

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
    rowIdFirst_ = !compound && updatableTable && !updatableTable->isEmpty();
    if (compound)
        itemExprs_.clear();
    // ORDER BY of a union names the columns of its rows, not what one part groups by.
    if (compound)
        groupTerms_.clear();
    if (atWord(u"ORDER")) {
        take();
        expectWord(u"BY");
        showGroups_ = !wholeGroupTerms_;
        sql += QStringLiteral(" ORDER BY ") + orderTerms(true);
        showGroups_ = false;
        rowIdFirst_ = false;
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
        distinct = true;
        distinctRows_ = true;
    } else if (atWord(u"ALL")) {
        take();
    }
    // Texts that differ only in letter case or trailing blanks are one group, as in Jet: the
    // items, HAVING and ORDER BY show each group's spelling where they name what it groups
    // by. Distinct rows are such groups of all their items, where the items allow.
    groupTerms_.clear();
    wholeGroupTerms_ = false;
    const CoreClauses clauses = coreClauses();
    if (clauses.groupBy != 0)
        readGroupTerms(clauses.groupBy);
    const bool distinctGroups =
        distinct && clauses.groupBy == 0 && !clauses.having && !clauses.unionFollows;
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
    QStringList items, shownItems, groupKeys;
    std::vector<SqlExpr> values;
    std::vector<GroupTerm> itemGroups;
    bool stars = false;
    int exprNumber = 1000;
    showGroups_ = true;
    itemExprs_.clear();
    for (;;) {
        const SelectItem item = selectItem(&exprNumber);
        itemExprs_.push_back(item.value);
        values.push_back(item.value);
        items << item.sql;
        shownItems << item.shown;
        groupKeys << item.groupKey;
        stars = stars || item.star;
        if (item.grouped)
            itemGroups.push_back(item.term);
        if (!atSymbol(u","))
            break;
        take();
    }
    showGroups_ = false;
    const bool regroup = distinctGroups && !aggregateSeen_ && !stars;
    if (regroup) {
        items = shownItems;
        for (size_t k = 0; k < itemExprs_.size(); ++k) {
            if (itemExprs_[k].sql.isEmpty())
                continue;
            for (const GroupTerm& g : itemGroups) {
                if (g.sql == itemExprs_[k].sql) {
                    itemExprs_[k].sql = g.shown;
                    itemExprs_[k].column = false;
                    break;
                }
            }
        }
        groupTerms_ = std::move(itemGroups);
        wholeGroupTerms_ = true;
        distinctRows_ = false;
    } else if (distinct) {
        head += QStringLiteral("DISTINCT ");
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
    tableColumns_ = std::all_of(sources.begin(), sources.end(),
                                [](const FromSource& s) { return !s.table.isEmpty(); });
    for (size_t k = 0; k < values.size(); ++k) {
        if (groupKeys[k].isEmpty() && !values[k].sql.isEmpty())
            groupKeys[k] = textGroupKey(values[k], tableColumns_);
    }
    // * items are known once the tables are: on the server each becomes the columns of the
    // tables it stands for.
    QStringList markers;
    QString itemList = items.join(QStringLiteral(", "));
    for (qsizetype k = 0; k < stars_.size(); ++k) {
        replaceOutsideQuotes(&itemList, starPlaceholder(k),
                             starColumns(stars_[k], sources, &markers));
    }
    if (!distinct)
        *starMarkers << markers;
    if (atWord(u"WHERE")) {
        take();
        rest += QStringLiteral(" WHERE ") + rowCondition().sql;
    }
    if (regroup)
        rest += QStringLiteral(" GROUP BY ") + groupKeys.join(QStringLiteral(", "));
    if (atWord(u"GROUP")) {
        take();
        expectWord(u"BY");
        rest += QStringLiteral(" GROUP BY ") + orderTerms(false);
        simple = false;
    }
    if (atWord(u"HAVING")) {
        take();
        showGroups_ = true;
        rest += QStringLiteral(" HAVING ") + conditionOf(expression()).sql;
        showGroups_ = false;
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
    return head + itemList + rest;
}

JetSqlParser::SelectItem JetSqlParser::selectItem(int* exprNumber) {
    SelectItem item;
    if (atSymbol(u"*")) {
        take();
        item.star = true;
        if (!forPostgres()) {
            item.sql = QStringLiteral("*");
        } else {
            stars_ << QString();
            item.sql = starPlaceholder(stars_.size() - 1);
        }
        item.shown = item.sql;
        return item;
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
            item.star = true;
            if (!forPostgres()) {
                item.sql = sql + u'*';
            } else {
                sql.chop(1);  // the dot
                stars_ << sql;
                item.sql = starPlaceholder(stars_.size() - 1);
            }
            item.shown = item.sql;
            return item;
        }
    }
    const size_t start = pos_;
    const SqlExpr e = valueOf(expression());
    // A column named as it is (perhaps with its table) keeps its name when its group's
    // spelling is shown instead.
    QString columnName;
    if ((pos_ - start) % 2 == 1) {
        columnName = plainName(t_[pos_ - 1]);
        for (size_t k = start; k < pos_; ++k) {
            const bool name = t_[k].is(K::Word) || t_[k].is(K::Bracket);
            if ((k - start) % 2 == 0 ? !name : !t_[k].isSymbol(u"."))
                columnName.clear();
        }
    }
    QString alias;
    if (atWord(u"AS")) {
        take();
        alias = aliasName();
    } else if (atName() && !isClauseWord(*peek())) {
        alias = aliasName();
    }
    if (alias.isEmpty() && !e.column && !columnName.isEmpty())
        alias = bracketed(columnName);
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
    item.sql = alias.isEmpty() ? e.sql : e.sql + QStringLiteral(" AS ") + alias;
    item.value = e;
    // As one of the items distinct rows are grouped by.
    if (groupsAsText(e)) {
        item.grouped = true;
        item.term = {e.sql, textGroupSpelling(e), e.column};
        QString name = alias;
        if (name.isEmpty()) {
            name = bracketed(columnName);
            out_.spelledNames << columnName;
        }
        item.shown = item.term.shown + QStringLiteral(" AS ") + name;
    } else {
        item.shown = item.sql;
        item.groupKey = isConstant(e) ? constantTerm(e) : e.sql;
    }
    return item;
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

QString JetSqlParser::orderTerms(bool directions) {
    QString out;
    for (;;) {
        if (!out.isEmpty())
            out += QStringLiteral(", ");
        SqlExpr term = grouped(expression(), directions && wholeGroupTerms_);
        const bool alias = term.column && textAliases_.contains(term.sql, Qt::CaseInsensitive);
        const QString item = term.column ? QString() : itemAliases_.value(valueOf(term).sql);
        if (directions && isColumnPosition(term)) {
            // ORDER BY 3, 1 sorts by the third and the first column of the result, as in
            // Jet: by what that item is, sorted as any expression (text as Jet compares it).
            // Distinct rows of the server and a union's sort by their columns only, by
            // number, which counts the row id a record set's rows carry first.
            const size_t k = term.sql.toULongLong();
            bool named = !distinctRows_ && k >= 1 && k <= itemExprs_.size();
            for (size_t i = 0; named && i < k; ++i)
                named = !itemExprs_[i].sql.isEmpty();  // no * item up to it
            if (named) {
                const SqlExpr& shown = itemExprs_[k - 1];
                out += isConstant(shown) ? constantTerm(shown) : sortTermText(shown, false);
            } else {
                out += rowIdFirst_ ? QString::number(k + 1) : term.sql;
            }
        } else if (forPostgres() && directions && distinctRows_ && !item.isEmpty()) {
            // The server sorts distinct rows only by their columns: an expression that is
            // one of them (a constant too) is sorted by its name, which keeps the collation
            // of what it reads.
            out += item;
        } else if (isConstant(term)) {
            out += constantTerm(term);
        } else if (!directions && groupsAsText(term)) {
            // Texts alike but for letter case or trailing blanks are one group.
            out += textGroupKey(term, tableColumns_);
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

}  // namespace velmora::data
