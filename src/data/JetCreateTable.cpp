// CREATE TABLE name (col TYPE[(n)] [more], ...) and ALTER TABLE ... ADD COLUMN: every
// column gets its storage type, the rule for comparing text and checks that keep wrong
// values out of the file.
#include "DbError.h"
#include "FieldType.h"
#include "JetFunctionCatalog.h"
#include "JetSqlParser.h"

namespace velmora::data {

namespace {

using K = JetToken::Kind;

bool startsTableConstraint(const JetToken& tok) {
    for (const char* w : {"CONSTRAINT", "PRIMARY", "UNIQUE", "FOREIGN", "CHECK"}) {
        if (tok.isWord(QString::fromLatin1(w)))
            return true;
    }
    return false;
}

// Money keeps four decimals however it is written; record sets round it themselves, these
// triggers do the same for INSERT and UPDATE statements.
void addMoneyTriggers(const QString& table, const QString& column, QStringList* followUps) {
    const QString tq = quoteSqliteName(table);
    const QString q = quoteSqliteName(column);
    for (const QString& event : {QStringLiteral("INSERT"), QStringLiteral("UPDATE")}) {
        const QString name =
            quoteSqliteName(QStringLiteral("money:%1:%2:%3").arg(table, column, event.toLower()));
        const QString on = event == u"UPDATE" ? QStringLiteral("UPDATE OF ") + q : event;
        *followUps << QStringLiteral(
                          "CREATE TRIGGER %1 AFTER %2 ON %3 WHEN NEW.%4 <> "
                          "round(NEW.%4, 4) BEGIN UPDATE %3 SET %4 = "
                          "round(NEW.%4, 4) WHERE rowid = NEW.rowid; END")
                          .arg(name, on, tq, q);
    }
}

}  // namespace

QString JetSqlParser::createTable() {
    expectWord(u"CREATE");
    expectWord(u"TABLE");
    const JetToken* nameTok = peek();
    if (!nameTok || !(nameTok->is(K::Word) || nameTok->is(K::Bracket) || nameTok->is(K::String)))
        fail(QStringLiteral("CREATE TABLE needs a table name"));
    const QString table = plainName(take());
    if (table.trimmed().isEmpty())
        fail(QStringLiteral("the table has no name"));
    out_.createdTable = table;
    if (!atSymbol(u"("))
        fail(QStringLiteral("CREATE TABLE needs a table name followed by its columns"));
    take();
    QStringList defs;
    for (;;) {
        if (atSymbol(u",") || atSymbol(u")"))
            fail(QStringLiteral("a column definition is empty"));
        if (atEnd())
            fail(QStringLiteral("the list of columns is not closed"));
        if (startsTableConstraint(*peek()))
            defs << passThrough();
        else
            defs << columnDefinition(table);
        if (!atSymbol(u","))
            break;
        take();
    }
    expectSymbol(u")");
    if (!atEnd() && !atSymbol(u";"))
        fail(QStringLiteral("text is found after the column list"));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteSqliteName(table), defs.join(u", "));
}

QString JetSqlParser::columnDefinition(const QString& table) {
    if (!atName())
        fail(QStringLiteral("a column name is expected"));
    const QString col = plainName(take());
    const JetToken* typeTok = peek();
    if (!typeTok || !typeTok->is(K::Word))
        fail(QStringLiteral("column %1 has no type").arg(col));
    const QString typeName = take().text;
    int size = 0;
    if (atSymbol(u"(")) {
        take();
        const JetToken* num = peek();
        if (!num || !num->is(K::Number) || !atSymbol(u")", 1))
            fail(QStringLiteral("the size of column %1 cannot be read").arg(col));
        size = take().text.toInt();
        take();
    }
    FieldType ft;
    QString declared;
    if (!FieldType::fromJetName(typeName, size, &ft, &declared))
        fail(QStringLiteral("unknown type %1 for column %2").arg(typeName, col));
    const QString q = quoteSqliteName(col);
    auto check = [&](const char* tag, const QString& cond) {
        return QStringLiteral(" CONSTRAINT %1 CHECK (%2)")
            .arg(quoteSqliteName(QString::fromLatin1(tag) + u':' + col), cond);
    };
    QString def = q + u' ' + declared;
    switch (ft.kind) {
        case FieldType::Kind::Text:
            def += QStringLiteral(" COLLATE ") + QLatin1String(kJetTextCollation);
            if (ft.size > 0)
                def += check("len", QStringLiteral("length(%1) <= %2").arg(q).arg(ft.size));
            break;
        case FieldType::Kind::Integer:
            def += check("type", QStringLiteral("typeof(%1) IN ('integer','null')").arg(q));
            def += check(
                "range",
                QStringLiteral("%1 BETWEEN %2 AND %3").arg(q).arg(ft.minValue).arg(ft.maxValue));
            break;
        case FieldType::Kind::Currency:
            addMoneyTriggers(table, col, &out_.followUps);
            [[fallthrough]];
        case FieldType::Kind::Real:
            def += check("type", QStringLiteral("typeof(%1) IN ('integer','real','null')").arg(q));
            break;
        case FieldType::Kind::YesNo:
            def += check("yesno", QStringLiteral("%1 IN (-1, 0)").arg(q));
            break;
        case FieldType::Kind::Date:
            // julianday() takes "2005-02-30" for 2 March; date() with a modifier gives the
            // same day back only for a day that exists.
            def += check("date", QStringLiteral("%1 IS NULL OR (typeof(%1) = 'text' AND "
                                                "date(%1, '+0 days') IS substr(%1, 1, 10))")
                                     .arg(q));
            break;
        case FieldType::Kind::Variant:
            break;
    }
    const QString rest = passThrough();
    if (!rest.isEmpty())
        def += u' ' + rest;
    return def;
}

// Column and table constraints (NOT NULL, PRIMARY KEY, UNIQUE (a, b), DEFAULT value,
// CHECK (condition)) up to the next "," or ")" outside parentheses; DEFAULT and CHECK take
// Jet expressions.
QString JetSqlParser::passThrough() {
    QStringList out;
    int depth = 0;
    for (;;) {
        const JetToken* tok = peek();
        if (!tok || tok->isSymbol(u";"))
            break;
        if (depth == 0 && (tok->isSymbol(u",") || tok->isSymbol(u")")))
            break;
        if (tok->isSymbol(u"(")) {
            take();
            if (++depth > kMaxNesting)
                fail(QStringLiteral("the parentheses are nested too deeply"));
            out << QStringLiteral("(");
        } else if (tok->isSymbol(u")")) {
            take();
            --depth;
            out << QStringLiteral(")");
        } else if (tok->isSymbol(u",") || tok->isSymbol(u".")) {
            out << take().text;
        } else if (tok->isWord(u"DEFAULT")) {
            take();
            out << QStringLiteral("DEFAULT (") + valueOf(expression()).sql + u')';
        } else if (tok->isWord(u"CHECK")) {
            take();
            expectSymbol(u"(");
            out << QStringLiteral("CHECK (") + conditionOf(expression()).sql + u')';
            expectSymbol(u")");
        } else if (tok->is(K::String) || tok->is(K::Number) || tok->is(K::Date) ||
                   tok->isWord(u"YES") || tok->isWord(u"NO") || tok->isWord(u"TRUE") ||
                   tok->isWord(u"FALSE")) {
            out << primary().sql;
        } else if (tok->is(K::Word) || tok->is(K::Bracket)) {
            out << take().text;
        } else {
            fail(QStringLiteral("this has no place in a column definition"));
        }
    }
    return out.join(u' ');
}

}  // namespace velmora::data
