#include "JetSqlTranslator.h"

#include "DbError.h"
#include "FieldType.h"
#include "JetDates.h"
#include "JetSqlTokenizer.h"

#include <QHash>
#include <QStringList>

namespace velmora::data {

namespace {

using Tokens = std::vector<JetToken>;
using K = JetToken::Kind;

[[noreturn]] void syntaxError(const QString& what, const QString& sql) {
    throw DbError(err::SyntaxError,
                  QStringLiteral("Syntax error in SQL statement: %1 in \"%2\".").arg(what, sql));
}

// Jet function names and the names under which the engine registers them.
const QHash<QString, QString>& jetFunctions() {
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> m;
        for (const char* f :
             {"nz",      "val",    "year",  "month",      "day",      "now",  "date",  "ucase",
              "lcase",   "trim",   "ltrim", "rtrim",      "len",      "left", "right", "mid",
              "dateadd", "format", "instr", "cstr",       "cdbl",     "clng", "cint",  "int",
              "fix",     "isnull", "str",   "dateserial", "datediff", "cdate"}) {
            m.insert(QString::fromLatin1(f), QStringLiteral("jet_") + QString::fromLatin1(f));
        }
        return m;
    }();
    return map;
}

// Words that may stand before a parenthesis without calling a function.
bool isKeyword(const QString& w) {
    static const QStringList keywords = {
        QStringLiteral("AND"),    QStringLiteral("OR"),     QStringLiteral("NOT"),
        QStringLiteral("WHERE"),  QStringLiteral("ON"),     QStringLiteral("IN"),
        QStringLiteral("EXISTS"), QStringLiteral("VALUES"), QStringLiteral("FROM"),
        QStringLiteral("JOIN"),   QStringLiteral("SELECT"), QStringLiteral("AS"),
        QStringLiteral("BY"),     QStringLiteral("HAVING"), QStringLiteral("SET"),
        QStringLiteral("INTO"),   QStringLiteral("XOR"),    QStringLiteral("BETWEEN"),
        QStringLiteral("IS"),     QStringLiteral("LIKE"),   QStringLiteral("WHEN"),
        QStringLiteral("THEN"),   QStringLiteral("ELSE"),   QStringLiteral("UNION"),
        QStringLiteral("ALL")};
    return keywords.contains(w, Qt::CaseInsensitive);
}

int nextSignificant(const Tokens& t, int i, int end) {
    while (i < end && t[i].is(K::Space))
        ++i;
    return i;
}

int prevSignificant(const Tokens& t, int i, int begin) {
    --i;
    while (i >= begin && t[i].is(K::Space))
        --i;
    return i;
}

int matchingParen(const Tokens& t, int open, int end, const QString& sql) {
    int depth = 0;
    for (int i = open; i < end; ++i) {
        if (t[i].isSymbol(u"("))
            ++depth;
        else if (t[i].isSymbol(u")") && --depth == 0)
            return i;
    }
    syntaxError(QStringLiteral("a parenthesis is not closed"), sql);
}

QString dateLiteral(const JetToken& tok, const QString& sql) {
    const auto dt = parseJetDateTime(tok.text.mid(1, tok.text.size() - 2));
    if (!dt)
        syntaxError(QStringLiteral("the date %1 cannot be read").arg(tok.text), sql);
    return quoteJetLiteral(storedDateText(*dt));
}

QString likePattern(const JetToken& tok) {
    QString p = jetStringContent(tok);
    QString out;
    for (QChar c : p) {
        if (c == u'*')
            out += u'%';
        else if (c == u'?')
            out += u'_';
        else
            out += c;
    }
    return quoteJetLiteral(out);
}

class Translator {
  public:
    Translator(const Tokens& t, const QString& sql) : t_(t), sql_(sql) {}

    QString range(int b, int e) {
        QString out;
        for (int i = b; i < e; ++i) {
            const JetToken& tok = t_[i];
            switch (tok.kind) {
                case K::Word:
                    i = word(i, b, e, &out);
                    break;
                case K::String:
                    out += tok.text.front() == u'"' ? quoteJetLiteral(jetStringContent(tok))
                                                    : tok.text;
                    break;
                case K::Date:
                    out += dateLiteral(tok, sql_);
                    break;
                case K::Symbol:
                    if (tok.text == u"&")
                        out += QStringLiteral("||");
                    else if (tok.text == u";") {
                        if (nextSignificant(t_, i + 1, e) != e)
                            syntaxError(QStringLiteral("text found after the end of the statement"),
                                        sql_);
                    } else if (tok.text == u"!" || tok.text == u"\\")
                        syntaxError(QStringLiteral("'%1' is not supported").arg(tok.text), sql_);
                    else
                        out += tok.text;
                    break;
                default:
                    out += tok.text;
            }
        }
        return out;
    }

  private:
    // Translates the word at i; returns the index of the last token consumed.
    int word(int i, int b, int e, QString* out) {
        const JetToken& tok = t_[i];
        const int prev = prevSignificant(t_, i, b);
        const bool afterDot = prev >= b && t_[prev].isSymbol(u".");
        const int next = nextSignificant(t_, i + 1, e);
        if (!afterDot && next < e && t_[next].isSymbol(u"(") && !isKeyword(tok.text))
            return call(i, next, e, out);
        const QString up = tok.text.toUpper();
        if (!afterDot) {
            if (up == u"YES" || up == u"TRUE") {
                *out += QStringLiteral("-1");
                return i;
            }
            if (up == u"NO" || up == u"FALSE") {
                *out += QStringLiteral("0");
                return i;
            }
            if (up == u"DISTINCTROW") {
                *out += QStringLiteral("DISTINCT");
                return i;
            }
            if (up == u"MOD") {
                *out += QStringLiteral("%");
                return i;
            }
            if (up == u"LIKE" && next < e && t_[next].is(K::String)) {
                *out += tok.text + QStringLiteral(" ") + likePattern(t_[next]);
                return next;
            }
        }
        *out += tok.text;
        return i;
    }

    int call(int nameAt, int open, int e, QString* out) {
        const int close = matchingParen(t_, open, e, sql_);
        QStringList args;
        int depth = 0, start = open + 1;
        for (int k = open + 1; k < close; ++k) {
            if (t_[k].isSymbol(u"("))
                ++depth;
            else if (t_[k].isSymbol(u")"))
                --depth;
            else if (depth == 0 && t_[k].isSymbol(u",")) {
                args << argument(start, k);
                start = k + 1;
            }
        }
        const bool noArgs = nextSignificant(t_, open + 1, close) == close;
        if (!noArgs || !args.isEmpty())
            args << argument(start, close);
        const QString name = t_[nameAt].text.toLower();
        if (name == u"iif") {
            if (args.size() < 2 || args.size() > 3)
                syntaxError(QStringLiteral("IIf takes three arguments"), sql_);
            if (args.size() == 2)
                args << QStringLiteral("NULL");
            *out += QStringLiteral("CASE WHEN (%1) THEN (%2) ELSE (%3) END")
                        .arg(args[0], args[1], args[2]);
        } else {
            const auto it = jetFunctions().constFind(name);
            *out += (it != jetFunctions().constEnd() ? *it : t_[nameAt].text) + u'(' +
                    args.join(u',') + u')';
        }
        return close;
    }

    QString argument(int b, int e) {
        if (nextSignificant(t_, b, e) == e)
            return QStringLiteral("NULL");
        return range(b, e);
    }

    const Tokens& t_;
    const QString& sql_;
};

QString quoteSqliteName(const QString& n) {
    QString q = n;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString unbracket(const JetToken& tok) {
    if (tok.is(K::Bracket))
        return tok.text.mid(1, tok.text.size() - 2);
    if (tok.is(K::String))
        return jetStringContent(tok);
    return tok.text;
}

// CREATE TABLE name (col TYPE[(n)] [more], ...): every column gets its storage type, the
// letter-case rule for text and checks that keep wrong values out of the file.
QString translateCreateTable(const Tokens& t, int tableAt, const QString& sql,
                             QStringList* followUps) {
    const int n = static_cast<int>(t.size());
    const int open = nextSignificant(t, tableAt + 1, n);
    if (open >= n || !t[open].isSymbol(u"("))
        syntaxError(QStringLiteral("CREATE TABLE needs a table name followed by its columns"), sql);
    const int close = matchingParen(t, open, n, sql);
    const int after = nextSignificant(t, close + 1, n);
    if (after < n && !(t[after].isSymbol(u";") && nextSignificant(t, after + 1, n) == n))
        syntaxError(QStringLiteral("text found after the column list"), sql);
    const QString table = unbracket(t[tableAt]);
    if (table.trimmed().isEmpty())
        syntaxError(QStringLiteral("the table has no name"), sql);

    QStringList defs, money;
    int start = open + 1, depth = 0;
    auto column = [&](int b, int e) {
        const int nameAt = nextSignificant(t, b, e);
        if (nameAt >= e)
            syntaxError(QStringLiteral("a column definition is empty"), sql);
        static const QStringList tableConstraints = {
            QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"), QStringLiteral("UNIQUE"),
            QStringLiteral("FOREIGN"), QStringLiteral("CHECK")};
        if (t[nameAt].is(K::Word) &&
            tableConstraints.contains(t[nameAt].text, Qt::CaseInsensitive)) {
            defs << Translator(t, sql).range(nameAt, e).trimmed();
            return;
        }
        if (!(t[nameAt].is(K::Word) || t[nameAt].is(K::Bracket)))
            syntaxError(QStringLiteral("a column name is expected"), sql);
        const QString col = unbracket(t[nameAt]);
        const int typeAt = nextSignificant(t, nameAt + 1, e);
        if (typeAt >= e || !t[typeAt].is(K::Word))
            syntaxError(QStringLiteral("column %1 has no type").arg(col), sql);
        int restAt = typeAt + 1;
        int size = 0;
        const int p = nextSignificant(t, restAt, e);
        if (p < e && t[p].isSymbol(u"(")) {
            const int num = nextSignificant(t, p + 1, e);
            const int pc = nextSignificant(t, num + 1, e);
            if (num >= e || !t[num].is(K::Number) || pc >= e || !t[pc].isSymbol(u")"))
                syntaxError(QStringLiteral("the size of column %1 cannot be read").arg(col), sql);
            size = t[num].text.toInt();
            restAt = pc + 1;
        }
        FieldType ft;
        QString declared;
        if (!FieldType::fromJetName(t[typeAt].text, size, &ft, &declared))
            syntaxError(QStringLiteral("unknown type %1 for column %2").arg(t[typeAt].text, col),
                        sql);
        const QString q = quoteSqliteName(col);
        auto check = [&](const char* tag, const QString& cond) {
            return QStringLiteral(" CONSTRAINT %1 CHECK (%2)")
                .arg(quoteSqliteName(QString::fromLatin1(tag) + u':' + col), cond);
        };
        QString def = q + u' ' + declared;
        switch (ft.kind) {
            case FieldType::Kind::Text:
                def += QStringLiteral(" COLLATE NOCASE");
                if (ft.size > 0)
                    def += check("len", QStringLiteral("length(%1) <= %2").arg(q).arg(ft.size));
                break;
            case FieldType::Kind::Integer:
                def += check("type", QStringLiteral("typeof(%1) IN ('integer','null')").arg(q));
                def += check("range", QStringLiteral("%1 BETWEEN %2 AND %3")
                                          .arg(q)
                                          .arg(ft.minValue)
                                          .arg(ft.maxValue));
                break;
            case FieldType::Kind::Currency:
                money << col;
                [[fallthrough]];
            case FieldType::Kind::Real:
                def +=
                    check("type", QStringLiteral("typeof(%1) IN ('integer','real','null')").arg(q));
                break;
            case FieldType::Kind::YesNo:
                def += check("yesno", QStringLiteral("%1 IN (-1, 0)").arg(q));
                break;
            case FieldType::Kind::Date:
                // julianday() takes "2005-02-30" for 2 March; date() with a modifier
                // gives the same day back only for a day that exists.
                def += check("date", QStringLiteral("%1 IS NULL OR (typeof(%1) = 'text' AND "
                                                    "date(%1, '+0 days') IS substr(%1, 1, 10))")
                                         .arg(q));
                break;
            case FieldType::Kind::Variant:
                break;
        }
        const QString rest = Translator(t, sql).range(restAt, e).trimmed();
        if (!rest.isEmpty())
            def += u' ' + rest;
        defs << def;
    };
    for (int k = open + 1; k < close; ++k) {
        if (t[k].isSymbol(u"("))
            ++depth;
        else if (t[k].isSymbol(u")"))
            --depth;
        else if (depth == 0 && t[k].isSymbol(u",")) {
            column(start, k);
            start = k + 1;
        }
    }
    column(start, close);
    // Money keeps four decimals however it is written; record sets round it themselves,
    // these triggers do the same for INSERT and UPDATE statements.
    const QString tq = quoteSqliteName(table);
    for (const QString& col : money) {
        const QString q = quoteSqliteName(col);
        for (const QString& event : {QStringLiteral("INSERT"), QStringLiteral("UPDATE")}) {
            const QString name =
                quoteSqliteName(QStringLiteral("money:%1:%2:%3").arg(table, col, event.toLower()));
            const QString on = event == u"UPDATE" ? QStringLiteral("UPDATE OF ") + q : event;
            *followUps << QStringLiteral(
                              "CREATE TRIGGER %1 AFTER %2 ON %3 WHEN NEW.%4 <> "
                              "round(NEW.%4, 4) BEGIN UPDATE %3 SET %4 = "
                              "round(NEW.%4, 4) WHERE rowid = NEW.rowid; END")
                              .arg(name, on, tq, q);
        }
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(tq, defs.join(u", "));
}

bool isWordAt(const Tokens& t, int i, int n, QStringView w) {
    return i < n && t[i].isWord(w);
}

// For SELECT ... FROM one-table [WHERE ...] [ORDER BY ...]: the table's name.
QString singleTable(const Tokens& t, int selectAt) {
    const int n = static_cast<int>(t.size());
    int depth = 0, fromAt = -1;
    static const QStringList blockers = {
        QStringLiteral("DISTINCT"),  QStringLiteral("DISTINCTROW"), QStringLiteral("GROUP"),
        QStringLiteral("UNION"),     QStringLiteral("JOIN"),        QStringLiteral("HAVING"),
        QStringLiteral("COUNT"),     QStringLiteral("SUM"),         QStringLiteral("AVG"),
        QStringLiteral("MIN"),       QStringLiteral("MAX"),         QStringLiteral("INTO"),
        QStringLiteral("TRANSFORM"), QStringLiteral("FIRST"),       QStringLiteral("LAST")};
    for (int i = selectAt + 1; i < n; ++i) {
        if (t[i].isSymbol(u"("))
            ++depth;
        else if (t[i].isSymbol(u")"))
            --depth;
        else if (t[i].is(K::Word) && blockers.contains(t[i].text, Qt::CaseInsensitive))
            return {};
        else if (depth == 0 && t[i].isWord(u"FROM") && fromAt < 0)
            fromAt = i;
    }
    if (fromAt < 0)
        return {};
    const int nameAt = nextSignificant(t, fromAt + 1, n);
    if (nameAt >= n || !(t[nameAt].is(K::Word) || t[nameAt].is(K::Bracket)))
        return {};
    const int after = nextSignificant(t, nameAt + 1, n);
    if (after < n &&
        !(t[after].isWord(u"WHERE") || t[after].isWord(u"ORDER") || t[after].isSymbol(u";")))
        return {};
    return unbracket(t[nameAt]);
}

}  // namespace

namespace {
JetTranslation translateUncached(const QString& jetSql);
}  // namespace

JetTranslation translateJetStatement(const QString& jetSql) {
    // The screens translate the same statements again and again (a stored query when it is
    // kept and when it is opened): translations are kept for reuse.
    thread_local QHash<QString, JetTranslation> cache;
    if (auto it = cache.constFind(jetSql); it != cache.constEnd())
        return *it;
    JetTranslation t = translateUncached(jetSql);
    if (cache.size() >= 256)
        cache.clear();
    cache.insert(jetSql, t);
    return t;
}

namespace {

JetTranslation translateUncached(const QString& jetSql) {
    const Tokens t = tokenizeJetSql(jetSql);
    const int n = static_cast<int>(t.size());
    const int first = nextSignificant(t, 0, n);
    if (first >= n)
        syntaxError(QStringLiteral("the statement is empty"), jetSql);
    JetTranslation out;
    if (t[first].isWord(u"CREATE")) {
        const int second = nextSignificant(t, first + 1, n);
        if (isWordAt(t, second, n, u"TABLE")) {
            const int nameAt = nextSignificant(t, second + 1, n);
            if (nameAt >= n ||
                !(t[nameAt].is(K::Word) || t[nameAt].is(K::Bracket) || t[nameAt].is(K::String)))
                syntaxError(QStringLiteral("CREATE TABLE needs a table name"), jetSql);
            out.sql = translateCreateTable(t, nameAt, jetSql, &out.followUps);
            return out;
        }
    }
    Translator tr(t, jetSql);
    if (t[first].isWord(u"DELETE")) {
        // Jet writes "DELETE * FROM t" and "DELETE t.* FROM t".
        int from = first + 1;
        while (from < n && !t[from].isWord(u"FROM"))
            ++from;
        if (from >= n)
            syntaxError(QStringLiteral("DELETE needs FROM"), jetSql);
        out.sql = QStringLiteral("DELETE ") + tr.range(from, n);
        return out;
    }
    if (!t[first].isWord(u"SELECT")) {
        out.sql = tr.range(first, n);
        return out;
    }
    out.isSelect = true;
    int body = first + 1;
    QString head = QStringLiteral("SELECT ");
    int k = nextSignificant(t, body, n);
    if (isWordAt(t, k, n, u"DISTINCT") || isWordAt(t, k, n, u"DISTINCTROW")) {
        head += QStringLiteral("DISTINCT ");
        body = k + 1;
        k = nextSignificant(t, body, n);
    }
    QString limit;
    if (isWordAt(t, k, n, u"TOP")) {
        const int num = nextSignificant(t, k + 1, n);
        if (num >= n || !t[num].is(K::Number))
            syntaxError(QStringLiteral("TOP needs a number"), jetSql);
        limit = QStringLiteral(" LIMIT ") + t[num].text;
        body = num + 1;
    }
    out.updatableTable = singleTable(t, first);
    if (!out.updatableTable.isEmpty()) {
        head += QStringLiteral("%1.rowid AS %2, ")
                    .arg(quoteSqliteName(out.updatableTable), QLatin1String(kRowIdColumn));
    }
    out.sql = head + tr.range(body, n).trimmed() + limit;
    return out;
}

}  // namespace

QString translateJetExpression(const QString& jetExpr) {
    const Tokens t = tokenizeJetSql(jetExpr);
    const int n = static_cast<int>(t.size());
    if (nextSignificant(t, 0, n) >= n)
        syntaxError(QStringLiteral("the expression is empty"), jetExpr);
    return Translator(t, jetExpr).range(0, n);
}

bool looksLikeSqlStatement(const QString& source) {
    const QString s = source.trimmed();
    for (const char* kw : {"SELECT", "TRANSFORM", "PARAMETERS", "INSERT", "UPDATE", "DELETE",
                           "CREATE", "DROP", "ALTER", "WITH"}) {
        const auto len = static_cast<qsizetype>(qstrlen(kw));
        if (s.size() > len && s.startsWith(QLatin1String(kw), Qt::CaseInsensitive) &&
            (s[len].isSpace() || s[len] == u'*' || s[len] == u'('))
            return true;
    }
    return false;
}

QString quoteJetLiteral(const QString& text) {
    QString q = text;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

QString quoteJetName(const QString& name) {
    if (name.contains(u']'))
        throw DbError(
            err::SyntaxError,
            QStringLiteral("The name '%1' contains ']', which a name cannot hold.").arg(name));
    return u'[' + name + u']';
}

}  // namespace velmora::data
