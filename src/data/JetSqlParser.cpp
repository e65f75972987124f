// The Jet SQL parser's reading of tokens, its errors and the statement it begins with: each
// kind of statement is read by its own part (SELECT, FROM, the changes and definitions).
#include "JetSqlParser.h"
#include "DbError.h"
#include "JetSqlNames.h"
#include "QueryParameters.h"

namespace velmora::data {

namespace {
using K = JetToken::Kind;
}  // namespace

QString bracketed(const QString& name) {
    return u'[' + name + u']';
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
    const QString sql = rowCondition().sql;
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

}  // namespace velmora::data
