#pragma once

#include <QString>
#include <QStringList>

namespace velmora::data {

// Jet SQL turned into SQLite SQL.
struct JetTranslation {
    QString sql;
    bool isSelect = false;
    // For a SELECT that reads one table without grouping, joins or DISTINCT: that table's
    // name. The translated text then carries the row id as its first column, named
    // kRowIdColumn, so that the rows can be written back.
    QString updatableTable;
    // Statements that complete this one, to be run right after it in the same transaction:
    // for CREATE TABLE, the triggers that round money written by SQL to four decimals.
    QStringList followUps;
};

inline constexpr char kRowIdColumn[] = "__velmora_rowid";

// Translates one statement: brackets stay, double-quoted literals become single-quoted,
// Yes/No/True/False become -1/0, #dates# become ISO text, & becomes ||, IIf becomes
// CASE WHEN (only the chosen branch is evaluated), an empty function argument becomes
// NULL, the engine's functions get their registered names, TOP n becomes LIMIT n,
// "DELETE * FROM" loses its "*", and CREATE TABLE gets the column types, the letter-case
// rule for text and the checks on lengths, ranges and kinds of values.
// Throws DbError on text that is not a statement.
JetTranslation translateJetStatement(const QString& jetSql);

// Translates an expression, such as a find criterion ("RegNum = \"N1\"").
QString translateJetExpression(const QString& jetExpr);

// Whether the text is an SQL statement rather than the name of a table or stored query.
bool looksLikeSqlStatement(const QString& source);

// Quoting for text that ends up inside SQL: a literal between single quotes with quotes
// doubled, and a name between brackets (a "]" in it cannot be bracketed and is refused).
QString quoteJetLiteral(const QString& text);
QString quoteJetName(const QString& name);

}  // namespace velmora::data
