// Stored queries read by the FROM clause of another statement: each is translated where it
// is named, as a subquery, so that it reads the tables as they are when the statement runs.
#include "DbError.h"
#include "JetSqlParser.h"

namespace velmora::data {

QString JetSqlParser::storedQuerySelect(const QString& name) {
    if (!storedQuery_)
        return {};
    const QString text = (*storedQuery_)(name);
    if (text.isNull())
        return {};
    if (expanding_.contains(name, Qt::CaseInsensitive)) {
        throw DbError(
            err::SyntaxError,
            QStringLiteral("The stored query '%1' reads itself (%2).")
                .arg(name, (expanding_ + QStringList{name}).join(QStringLiteral(" \u2192 "))));
    }
    if (expanding_.size() >= kMaxNesting)
        throw DbError(err::QueryTooComplex,
                      QStringLiteral("The stored queries read one another too deeply: \"%1\".")
                          .arg(shownStatement(text_)));
    JetSqlParser inner(text, currentDialect());
    inner.storedQuery_ = storedQuery_;
    inner.expanding_ = expanding_;
    inner.expanding_ << name;
    // The markers of * items stay distinct from this statement's own.
    inner.starMarkersMade_ = starMarkersMade_;
    const QString sql = inner.storedQueryBody(name);
    starMarkersMade_ = inner.starMarkersMade_;
    out_.starColumns << inner.out_.starColumns;
    out_.tables << inner.out_.tables;
    return sql;
}

QString JetSqlParser::storedQueryBody(const QString& name) {
    if (atWord(u"PARAMETERS"))
        throw DbError(err::SyntaxError,
                      QStringLiteral("The stored query '%1' asks for parameters, so no other "
                                     "statement can read it.")
                          .arg(name));
    if (!atWord(u"SELECT"))
        throw DbError(err::SyntaxError,
                      QStringLiteral("The stored query '%1' does not give rows, so no statement "
                                     "can read it.")
                          .arg(name));
    const QString sql = select(nullptr);
    expectEndOfStatement();
    return sql;
}

}  // namespace velmora::data
