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
    // What the statement names, as written, so that a failure can say which name is wrong:
    // the tables it reads or changes, the table CREATE TABLE makes, and the columns that
    // INSERT or UPDATE write.
    QStringList tables;
    QString createdTable;
    QString changedTable;
    QStringList changedColumns;
};

inline constexpr char kRowIdColumn[] = "__velmora_rowid";

// Translates one statement, read with Jet's operator precedence: names are bracketed,
// double-quoted literals become single-quoted, Yes/No/True/False become -1/0, #dates#
// become ISO text, IIf becomes CASE WHEN (only the chosen branch is evaluated), an empty
// function argument becomes NULL, the engine's functions get their registered names,
// TOP n becomes LIMIT n, "DELETE * FROM" loses its "*", and CREATE TABLE gets the column
// types, the rule for comparing text and the checks on lengths, ranges and kinds of values.
// "/" divides with fractions, "\" and Mod work on whole numbers, "&" joins text (Null as
// empty text), a comparison used as a value is -1 for True, and text compares without
// regard to letter case or trailing blanks. "--" is two minus signs and "/*" a division
// followed by a multiplication: the result never holds a comment or a second statement.
// Throws DbError on text that is not a statement (syntax error), and with
// err::QueryTooComplex on nesting deeper than the engine takes.
JetTranslation translateJetStatement(const QString& jetSql);

// Translates an expression, such as a find criterion ("RegNum = \"N1\"").
QString translateJetExpression(const QString& jetExpr);

// Whether the text is an SQL statement rather than the name of a table or stored query.
bool looksLikeSqlStatement(const QString& source);

// Quoting for text that ends up inside SQL: a literal between single quotes with quotes
// doubled, and a name between brackets (a "]" in it cannot be bracketed and is refused).
QString quoteJetLiteral(const QString& text);
QString quoteJetName(const QString& name);
// A name in the engine's own SQLite text, between double quotes with quotes doubled.
QString quoteSqliteName(const QString& name);

}  // namespace velmora::data
