#pragma once

// The parser behind translateJetStatement() and translateJetExpression(): reads Jet SQL
// with Jet's own operator precedence and writes SQLite SQL that means the same.
// Internal to the engine.

#include "JetSqlTokenizer.h"
#include "JetSqlTranslator.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace velmora::data {

// The SQLite text of one Jet expression, with what the parser knows of it.
struct SqlExpr {
    enum class Kind {
        Unknown,
        Number,
        Text,
        Null,
        Condition,  // a comparison or logical result: 1/0/NULL until it is used as a value
    };
    QString sql;
    Kind kind = Kind::Unknown;
    int level = 0;        // how loosely its outermost operator binds in SQLite; 0 for a primary
    int height = 1;       // the depth of its tree for SQLite, which takes up to 1000
    bool column = false;  // a reference to a column, nothing more
    // An IIf whose CASE is still open, so that an IIf in its false branch becomes one more
    // WHEN of the same CASE (no deeper nesting for SQLite's parser).
    bool openCase = false;
    QString whens, otherwise;
    // A chain of "&" still open for more operands: one call for the whole chain.
    QStringList parts;
    // For SQLite, a chain of "+" and "-" (or of "*" and "/") still open for more operands:
    // the first operand, then each operator's code and operand. One call computes the
    // whole chain left to right, so that a long chain does not nest calls as deeply as it
    // is long.
    QStringList arithmetic;
    int arithmeticLevel = 0;
    bool literal = false;  // a text or date literal, nothing more
    bool date = false;     // a date literal, nothing more
    bool dated = false;    // a date a function gives: a timestamp on the server, not text
    // On the files: a column of dates, or a date moved by days. The value is text there, which
    // "+" must take as a date rather than join.
    bool dateValue = false;
    // The same for every row: literals, parameters and what is worked out of them only (no
    // column, aggregate or subquery).
    bool constant = false;
};

// Whether the expression gives a date: a date literal, a date function, a column of dates or
// a date moved by days.
inline bool holdsDate(const SqlExpr& e) {
    return e.date || e.dated || e.dateValue;
}

// How tightly SQLite binds its operators; 0 is a primary (literal, name, call, CASE).
enum SqlLevel {
    kPrimary = 0,
    kUnary = 1,
    kMul = 3,
    kAdd = 4,
    kRel = 7,
    kEq = 8,
    kNot = 9,
    kAnd = 10,
    kOr = 11
};

// The dialect of the translation under way on this thread (set by the parser).
SqlDialect currentDialect();
inline bool forPostgres() {
    return currentDialect() == SqlDialect::Postgres;
}

// The text of a stored query by its name, or a null string when the name is no stored query.
using StoredQueryLookup = std::function<QString(const QString& name)>;

class JetSqlParser {
  public:
    // Deeper nesting of parentheses, calls and prefix operators is refused with
    // err::QueryTooComplex: the translation never recurses further than this.
    static constexpr int kMaxNesting = 100;
    // Longer chains of operators are refused too, below SQLite's own limit on the depth of an
    // expression's tree (a chain of n operators is n deep).
    static constexpr int kMaxHeight = 800;

    explicit JetSqlParser(const QString& text, SqlDialect dialect = SqlDialect::Sqlite);
    ~JetSqlParser();
    JetSqlParser(const JetSqlParser&) = delete;
    JetSqlParser& operator=(const JetSqlParser&) = delete;

    JetTranslation statement();
    QString criterion();
    // A table of a FROM clause that the lookup knows as a stored query reads that query.
    void readStoredQueries(const StoredQueryLookup* lookup) { storedQuery_ = lookup; }
    // On the files: the names of the columns that hold dates, in lower case (see
    // DateColumns).
    void knowDateColumns(const QSet<QString>* names) { dateColumns_ = names; }

  private:
    class Nesting;
    struct Operator;

    // Tokens.
    bool atEnd() const { return pos_ >= t_.size(); }
    const JetToken* peek(size_t ahead = 0) const;
    bool atWord(QStringView w, size_t ahead = 0) const;
    bool atSymbol(QStringView s, size_t ahead = 0) const;
    bool atName(size_t ahead = 0) const;
    const JetToken& take();
    void expectWord(QStringView w);
    void expectSymbol(QStringView s);
    void expectEndOfStatement();
    [[noreturn]] void fail(const QString& what) const;

    // Expressions (JetSqlExpression.cpp).
    SqlExpr expression(int minLevel = 1);
    SqlExpr limited(SqlExpr e) const;
    SqlExpr prefix();
    SqlExpr primary();
    SqlExpr qualifiedName(QString* lastPart = nullptr);
    SqlExpr call(const JetToken& name);
    SqlExpr parameterMarker(qsizetype k);
    SqlExpr iif(std::vector<SqlExpr>& args);
    bool isShortYearDateFormat(const QString& lower, const std::vector<SqlExpr>& args) const;
    // The expression as its group shows it, where it names a group term: while showGroups_,
    // or here where `whole` asks for the whole expression only.
    SqlExpr grouped(SqlExpr e, bool whole = false) const;
    bool binaryOperator(Operator* op) const;
    SqlExpr applyBinary(const Operator& op, SqlExpr lhs);
    SqlExpr inList(SqlExpr lhs, bool negated);
    // A WHERE or ON condition, and a constant part of one as the server must have it (see
    // JetSqlExpression.cpp).
    SqlExpr rowCondition();
    SqlExpr reachedOnly(SqlExpr e) const;
    // Whether all the parts of an operation are constant; where they are not, each constant
    // part is made reachedOnly().
    bool constantOrReachedOnly(const std::vector<SqlExpr*>& parts) const;
    QString subquery();

    // Statements: SELECT and its groups (JetSqlSelect.cpp, JetSqlGroups.cpp), FROM
    // (JetSqlFrom.cpp), the changes and definitions (JetSqlChanges.cpp).
    // A table or subquery of a FROM clause: what its columns are qualified with, and for a
    // table its name (empty for a subquery).
    struct FromSource {
        QString qualifier;
        QString table;
    };
    QString select(QString* updatableTable);
    QString selectCore(QString* limit, QString* updatableTable, QStringList* starMarkers);
    // A term texts are grouped by: the SQL of its value, the spelling its group shows, and
    // whether it names a column.
    struct GroupTerm {
        QString sql;
        QString shown;
        bool column = false;
    };
    // A SELECT's item as written and, for distinct rows grouped instead, as it is shown then
    // and the term it is grouped by.
    struct SelectItem {
        QString sql;
        QString shown;
        QString groupKey;
        bool star = false;
        bool grouped = false;  // groups as text: term names it
        GroupTerm term;
        SqlExpr value;  // what it gives, without its name; empty for a * item
    };
    SelectItem selectItem(int* exprNumber);
    // Where the current SELECT (not its subqueries) has GROUP BY, HAVING and UNION.
    struct CoreClauses {
        size_t groupBy = 0;  // the first term's token, 0 for none
        bool having = false;
        bool unionFollows = false;
    };
    CoreClauses coreClauses() const;
    void readGroupTerms(size_t at);
    QString fromClause(int* tables, QString* table, QString* rowIdOwner,
                       std::vector<FromSource>* sources);
    QString starColumns(const QString& qualifier, const std::vector<FromSource>& sources,
                        QStringList* starMarkers);
    void keepStarsAsWritten(QString* sql, const QStringList& markers);
    QString orderTerms(bool directions);
    QString insertStatement();
    QString updateStatement();
    QString deleteStatement();
    QString otherDefinition();
    QString tableName(QString* plain = nullptr);
    QString insertSource(bool rowIdFirst);
    QString aliasName();

    // Stored queries read by FROM (JetStoredQueries.cpp): the translated SELECT of the one
    // the name stands for, or a null string when it is no stored query.
    QString storedQuerySelect(const QString& name);
    QString storedQueryBody(const QString& name);

    // CREATE TABLE and column definitions (JetCreateTable.cpp).
    QString createTable();
    QString columnDefinition(const QString& table);
    QString passThrough();

    QString text_;
    SqlDialect outerDialect_;
    std::vector<JetToken> t_;  // without blanks
    size_t pos_ = 0;
    int nesting_ = 0;
    bool aggregateSeen_ = false;  // Count, Sum, ... met in the current SELECT
    QStringList textAliases_;     // names given to computed columns of the current SELECT
    // The computed columns of the current SELECT by their expressions, and whether its rows
    // are distinct (or a union's): the server sorts those only by the columns they have.
    QHash<QString, QString> itemAliases_;
    bool distinctRows_ = false;
    // The current SELECT's groups of text. Items, HAVING and ORDER BY (while showGroups_) read
    // a group's spelling wherever they name its term outside an aggregate.
    std::vector<GroupTerm> groupTerms_;
    bool showGroups_ = false;
    // Distinct rows grouped by their items: ORDER BY names whole items only, each as it is
    // shown, its parts as they are (an item that is no group term keeps what it reads).
    bool wholeGroupTerms_ = false;
    int aggregateDepth_ = 0;
    int rowConditions_ = 0;  // reading a WHERE or ON condition of the current SELECT
    // The current SELECT's items as they are shown (empty for a * item), which ORDER BY 2
    // names, and whether its rows carry the row id as their first column.
    std::vector<SqlExpr> itemExprs_;
    bool rowIdFirst_ = false;
    bool tableColumns_ = true;  // the current FROM reads tables only, no subquery
    QStringList stars_;         // qualifiers of the current SELECT's * items, in order
    int starMarkersMade_ = 0;
    JetTranslation out_;
    const StoredQueryLookup* storedQuery_ = nullptr;
    const QSet<QString>* dateColumns_ = nullptr;
    QStringList parameters_;  // declared by PARAMETERS, the value of the n-th is marker n
    QStringList parameterTypes_;
    QStringList expanding_;  // the stored queries being read, outermost first
};

// "+", "-", "*" or "/" of two operands (JetSqlArithmetic.cpp): a call of the engine's
// function for the operator, which raises Jet's errors (Overflow, Division by zero, a type
// mismatch) and joins two texts with "+". "*" is the server's own operator there.
SqlExpr arithmeticOf(const QString& op, SqlExpr lhs, const SqlExpr& rhs);
// The call for an open arithmetic chain (see SqlExpr::arithmetic).
void closeArithmetic(SqlExpr& e);
// A number literal as the translated SQL writes it (on the server, a number with a fraction
// or an exponent is a double, as in Jet); none beyond the range of numbers.
std::optional<QString> numberLiteral(const QString& text);

// An expression as a value: a condition becomes -1/0/Null (Jet's True is -1); open CASE and
// "&" chains are closed.
SqlExpr valueOf(SqlExpr e);
// An expression as a condition (WHERE, ON, HAVING, IIf's first argument).
SqlExpr conditionOf(SqlExpr e);
// The expression's text as an operand of an operator binding at the given level.
QString operandText(const SqlExpr& e, int maxLevel);
// The expression as an ORDER BY or GROUP BY term: text sorted and grouped as Jet compares
// it, numbers as they are. On SQLite a column keeps the collation it is declared with (which
// lets an index give the order); on the server text sorts by its sort key, except among
// distinct rows, which the server sorts only by what they show.
QString sortTermText(const SqlExpr& e, bool distinctRows);
// Text grouped as Jet groups it (letter case and trailing blanks aside): the GROUP BY term of
// a value of that kind, and the spelling its group shows, the least by its letters' code
// points on both back ends. groupsAsText() tells which values group so.
bool groupsAsText(const SqlExpr& e);
// tableColumns: a column there is one of a data set's table, not of a subquery.
QString textGroupKey(const SqlExpr& e, bool tableColumns);
QString textGroupSpelling(const SqlExpr& e);

struct FieldType;
// The PostgreSQL type of a column declared with a Jet type (its FieldType and the name
// FieldType::fromJetName declares it under).
QString postgresColumnType(const FieldType& ft, const QString& declared);

// A name as written, without its brackets or quotes.
QString plainName(const JetToken& tok);
// A name between brackets, as the translated text writes names.
QString bracketed(const QString& name);
// A word that begins a clause or a join, never a name given with AS left out.
bool isClauseWord(const JetToken& tok);

// A statement's text for messages: long statements are cut.
QString shownStatement(const QString& sql);

}  // namespace velmora::data
