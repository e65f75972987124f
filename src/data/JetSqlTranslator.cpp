#include "JetSqlTranslator.h"

#include "DbError.h"
#include "JetSqlParser.h"

#include <QHash>

namespace velmora::data {

namespace {

// The translation must be read by SQLite exactly as written: no comment, no second
// statement. The parser never writes either; this check keeps it that way.
void requireOneStatementWithoutComments(const QString& sql, const QString& jetSql) {
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
            const QChar end = c == u'[' ? QChar(u']') : c;
            ++i;
            while (i < n && sql[i] != end)
                ++i;
            continue;
        }
        const QChar next = i + 1 < n ? sql[i + 1] : QChar();
        if (c == u';' || (c == u'-' && next == u'-') || (c == u'/' && next == u'*')) {
            throw DbError(err::SyntaxError,
                          QStringLiteral("The statement cannot be passed on safely: \"%1\".")
                              .arg(shownStatement(jetSql)));
        }
    }
}

JetTranslation translateUncached(const QString& jetSql) {
    JetTranslation t = JetSqlParser(jetSql).statement();
    requireOneStatementWithoutComments(t.sql, jetSql);
    for (const QString& s : t.followUps)
        requireOneStatementWithoutComments(s.left(s.indexOf(QLatin1String(" BEGIN "))), jetSql);
    return t;
}

}  // namespace

QString shownStatement(const QString& sql) {
    constexpr qsizetype kShown = 300;
    if (sql.size() <= kShown)
        return sql;
    return sql.left(kShown) + QStringLiteral("...");
}

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

QString translateJetExpression(const QString& jetExpr) {
    const QString sql = JetSqlParser(jetExpr).criterion();
    requireOneStatementWithoutComments(sql, jetExpr);
    return sql;
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

QString quoteSqliteName(const QString& name) {
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString quoteJetName(const QString& name) {
    if (name.contains(u']'))
        throw DbError(
            err::SyntaxError,
            QStringLiteral("The name '%1' contains ']', which a name cannot hold.").arg(name));
    return u'[' + name + u']';
}

}  // namespace velmora::data
