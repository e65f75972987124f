// Texts grouped as Jet groups them: those that differ only in letter case or trailing blanks
// are one group (GROUP BY) or one row (DISTINCT), which shows the least of their spellings by
// code points on both back ends. The items, HAVING and ORDER BY show that spelling wherever
// they name a term the rows are grouped by.
#include "JetSqlParser.h"

namespace velmora::data {

bool groupsAsText(const SqlExpr& e) {
    const SqlExpr v = valueOf(e);
    return (v.kind == SqlExpr::Kind::Text || v.kind == SqlExpr::Kind::Unknown) && !v.dated &&
           !v.literal && v.sql.compare(QStringLiteral("*")) != 0;
}

QString textGroupKey(const SqlExpr& e, bool tableColumns) {
    const SqlExpr v = valueOf(e);
    if (!forPostgres())
        return sortTermText(v, false);
    // Text columns of the data set's tables, and computed text given their collation, group
    // by it without regard to letter case, and without their trailing blanks: much faster
    // than jet_text, whose lower case is the ICU library's. A value of another kind, or a
    // column of a subquery, which has no such collation, groups by jet_text.
    if (v.column && tableColumns)
        return QStringLiteral("jet_group(") + v.sql + u')';
    if (v.kind == SqlExpr::Kind::Text)
        return QStringLiteral("jet_group(") + v.sql + QStringLiteral(") COLLATE ") +
               QLatin1String(kPgJetSort);
    return QLatin1String(kPgJetText) + u'(' + v.sql + u')';
}

QString textGroupSpelling(const SqlExpr& e) {
    const SqlExpr v = valueOf(e);
    if (forPostgres())
        return QStringLiteral("jet_spelling(") + v.sql + u')';
    return QStringLiteral("min(") + operandText(v, kPrimary) + QStringLiteral(" COLLATE BINARY)");
}

namespace {

// Whether two group terms name the same: the same SQL, or the same column, one of them
// qualified by its table, the other not.
bool sameGroupTerm(const QString& a, bool aColumn, const SqlExpr& b) {
    if (a == b.sql)
        return true;
    if (!aColumn || !b.column)
        return false;
    if (a.compare(b.sql, Qt::CaseInsensitive) == 0)
        return true;
    const bool aQualified = a.contains(QStringLiteral("].["));
    const bool bQualified = b.sql.contains(QStringLiteral("].["));
    if (aQualified == bQualified)
        return false;
    const QString& full = aQualified ? a : b.sql;
    const QString& bare = aQualified ? b.sql : a;
    return full.endsWith(u'.' + bare, Qt::CaseInsensitive);
}

}  // namespace

SqlExpr JetSqlParser::grouped(SqlExpr e, bool whole) const {
    if (!(showGroups_ || whole) || groupTerms_.empty() || aggregateDepth_ > 0)
        return e;
    const SqlExpr v = valueOf(e);
    if (!groupsAsText(v))
        return e;
    for (const GroupTerm& g : groupTerms_) {
        if (sameGroupTerm(g.sql, g.column, v)) {
            SqlExpr shown;
            shown.sql = g.shown;
            shown.kind = v.kind;
            shown.height = v.height + 1;
            return shown;
        }
    }
    return e;
}

JetSqlParser::CoreClauses JetSqlParser::coreClauses() const {
    CoreClauses found;
    int depth = 0;
    for (size_t k = pos_; k < t_.size(); ++k) {
        const JetToken& tok = t_[k];
        if (tok.isSymbol(u"(")) {
            ++depth;
        } else if (tok.isSymbol(u")")) {
            if (depth-- == 0)
                break;
        } else if (depth > 0) {
            continue;
        } else if (tok.isSymbol(u";") || tok.isWord(u"ORDER")) {
            break;
        } else if (tok.isWord(u"UNION")) {
            found.unionFollows = true;
            break;
        } else if (tok.isWord(u"HAVING")) {
            found.having = true;
        } else if (tok.isWord(u"GROUP") && found.groupBy == 0 && k + 2 < t_.size() &&
                   t_[k + 1].isWord(u"BY")) {
            found.groupBy = k + 2;
        }
    }
    return found;
}

// The GROUP BY terms are read ahead of the items that show them; the clause is read again
// in its place.
void JetSqlParser::readGroupTerms(size_t at) {
    const size_t back = pos_;
    const JetTranslation out = out_;
    const bool aggregate = aggregateSeen_;
    const int stars = starMarkersMade_;
    const QStringList starItems = stars_;
    pos_ = at;
    std::vector<GroupTerm> terms;
    for (;;) {
        const SqlExpr term = valueOf(expression());
        if (groupsAsText(term))
            terms.push_back({term.sql, textGroupSpelling(term), term.column});
        if (!atSymbol(u","))
            break;
        take();
    }
    pos_ = back;
    out_ = out;
    aggregateSeen_ = aggregate;
    starMarkersMade_ = stars;
    stars_ = starItems;
    groupTerms_ = std::move(terms);
}

}  // namespace velmora::data
