#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace velmora::data {

// The SQL that the translator writes: SQLite's, or PostgreSQL's for a database server.
enum class SqlDialect { Sqlite, Postgres };

// Jet SQL turned into SQLite or PostgreSQL SQL.
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
    // On the server, an INSERT without a column list: its text starts "INSERT INTO <table>"
    // and gives a value for the table's row id first (DEFAULT, or 0 before the rows of a
    // SELECT). The back end adds the table's column list, row id first, and has the server
    // give the row id its own value, so that too many or too few values are refused as on
    // the files instead of shifting into other columns.
    bool insertsEveryColumn = false;
    // On the server, * of a table inside a UNION, a DISTINCT, a subquery or the rows of an
    // INSERT, where the table's row id would count as one of its columns: each is written as
    // a marker (a name no other part of the text has) for the back end to replace by the
    // table's own columns, each qualified as given.
    struct StarColumns {
        QString marker;
        QString table;
        QString qualifier;
    };
    QList<StarColumns> starColumns;
    // Names as the statement spells them: the table and columns CREATE TABLE or ALTER TABLE
    // makes, and the names given to the columns of a SELECT. PostgreSQL keeps names in
    // lower case; these give the spelling back.
    QStringList spelledNames;
    // The parameters a PARAMETERS clause declares, in the order their values are given: the
    // statement names each as a column and is translated with a marker for it, numbered in
    // that order.
    QStringList parameters;
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
JetTranslation translateJetStatement(const QString& jetSql,
                                     SqlDialect dialect = SqlDialect::Sqlite);

// The stored queries of a data set, for statements that read them: of the names given (as
// a statement writes them), the text of each that is a stored query and not a table, keyed
// by the name in lower case.
using StoredQueryTexts = std::function<QHash<QString, QString>(const QStringList& names)>;

// The columns of a data set's tables that hold dates, by name in lower case; a name that
// holds dates in one table and something else in another is left out. The files keep dates
// as text: with these known, "+" of a date column and a text adds the text's days (or fails
// when it is no number), as on the server and in Jet, instead of joining two texts.
struct DateColumns {
    QSet<QString> names;
    QString key;  // the names sorted and joined: translations are kept for reuse by it
};

// As above, for a data set with stored queries: a table of a FROM clause (or JOIN) that is a
// stored query reads that query's rows, as a subquery named after it. A stored query may
// read others in turn; one that reads itself, directly or through others, is refused
// (err::SyntaxError, naming the queries of the circle), and one that gives no rows too. A statement
// that names no stored query keeps the translation it has without them.
// The files give their date columns too.
JetTranslation translateJetStatement(const QString& jetSql, SqlDialect dialect,
                                     const StoredQueryTexts& storedQueries,
                                     const DateColumns* dateColumns = nullptr);

// Translates an expression, such as a find criterion ("RegNum = \"N1\"").
QString translateJetExpression(const QString& jetExpr, SqlDialect dialect = SqlDialect::Sqlite);

// Whether the text is an SQL statement rather than the name of a table or stored query.
bool looksLikeSqlStatement(const QString& source);

// Quoting for text that ends up inside SQL: a literal between single quotes with quotes
// doubled, and a name between brackets (a "]" in it cannot be bracketed and is refused).
QString quoteJetLiteral(const QString& text);
QString quoteJetName(const QString& name);
// A name in the engine's own SQLite text, between double quotes with quotes doubled.
QString quoteSqliteName(const QString& name);

// For PostgreSQL: a name as the server keeps it (in lower case, between double quotes).
QString postgresName(const QString& name);
// For PostgreSQL: SQL text with every name ([Name] or "Name") as PostgreSQL keeps it.
QString postgresNamesIn(const QString& sql);
// Replaces the first place of `what` in translated SQL outside literals and names ('...',
// "...", [...]), the way a word of the translator's own is put in; false when there is none.
bool replaceOutsideQuotes(QString* sql, QStringView what, const QString& with);
// For PostgreSQL: text as Jet compares it (lower case, no trailing blanks).
QString jetComparedText(const QString& text);
// The PostgreSQL function that gives a value as Jet compares it: text in lower case and
// without trailing blanks, any other value as it is.
inline constexpr char kPgJetText[] = "jet_text";
// Its sort key: text by its letters' code points after jet_text, other values as they are.
inline constexpr char kPgJetSortKey[] = "jet_sort";
// The PostgreSQL schema that holds the engine's functions, and the collation of the text
// columns it makes: text compares, groups and sorts without regard to letter case there.
inline constexpr char kPgJetSchema[] = "velmora_jet";
inline constexpr char kPgJetSort[] = "velmora_jet.jet_nocase";
// The column that numbers the rows of a table the engine makes on PostgreSQL, as SQLite's
// rowid numbers them in a file (SQL that names "rowid" reads it on both).
inline constexpr char kPgRowIdColumn[] = "rowid";

}  // namespace velmora::data
