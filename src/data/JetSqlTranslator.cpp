#include "JetSqlTranslator.h"

#include "DbError.h"
#include "JetSqlParser.h"

#include <QHash>
#include <QSet>

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

// PostgreSQL keeps names in lower case, and quotes them with double quotes: every name the
// parser wrote ([Name] or "Name") becomes "name". Literals pass unchanged.
}  // namespace

QString postgresNamesIn(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 16);
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'') {
            const qsizetype end = sql.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? n - 1 : end;
            out += QStringView(sql).mid(i, stop - i + 1);
            i = stop;
        } else if (c == u'[' || c == u'"') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            QString name;
            qsizetype j = i + 1;
            for (; j < n; ++j) {
                if (sql[j] == close) {
                    if (close == u'"' && j + 1 < n && sql[j + 1] == u'"') {
                        name += u'"';
                        ++j;
                        continue;
                    }
                    break;
                }
                name += sql[j];
            }
            out += postgresName(name);
            i = j;
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

JetTranslation translateUncached(const QString& jetSql, SqlDialect dialect,
                                 const StoredQueryLookup* storedQuery,
                                 const DateColumns* dateColumns) {
    JetSqlParser parser(jetSql, dialect);
    if (storedQuery)
        parser.readStoredQueries(storedQuery);
    if (dateColumns && !dateColumns->names.isEmpty())
        parser.knowDateColumns(&dateColumns->names);
    JetTranslation t = parser.statement();
    if (dialect == SqlDialect::Postgres) {
        t.sql = postgresNamesIn(t.sql);
        for (JetTranslation::StarColumns& star : t.starColumns)
            star.qualifier = postgresNamesIn(star.qualifier);
    }
    requireOneStatementWithoutComments(t.sql, jetSql);
    for (const QString& s : t.followUps)
        requireOneStatementWithoutComments(s.left(s.indexOf(QLatin1String(" BEGIN "))), jetSql);
    return t;
}

}  // namespace

bool replaceOutsideQuotes(QString* sql, QStringView what, const QString& with) {
    for (qsizetype i = 0; i < sql->size(); ++i) {
        const QChar c = sql->at(i);
        if (c == u'\'' || c == u'"' || c == u'[') {
            const qsizetype end = sql->indexOf(c == u'[' ? QChar(u']') : c, i + 1);
            if (end < 0)
                return false;
            i = end;  // a doubled quote is the end of one quoted part and the start of the next
        } else if (QStringView(*sql).mid(i).startsWith(what)) {
            sql->replace(i, what.size(), with);
            return true;
        }
    }
    return false;
}

QString shownStatement(const QString& sql) {
    constexpr qsizetype kShown = 300;
    if (sql.size() <= kShown)
        return sql;
    return sql.left(kShown) + QStringLiteral("...");
}

namespace {

JetTranslation translateCached(const QString& jetSql, SqlDialect dialect,
                               const DateColumns* dateColumns) {
    // The screens translate the same statements again and again (a stored query when it is
    // kept and when it is opened): translations are kept for reuse, for each dialect and
    // set of date columns.
    thread_local QHash<QString, QHash<QString, JetTranslation>> cache[2];
    const QString& dateKey = dateColumns ? dateColumns->key : QString();
    auto& kept = cache[dialect == SqlDialect::Postgres ? 1 : 0][dateKey];
    if (auto it = kept.constFind(jetSql); it != kept.constEnd())
        return *it;
    JetTranslation t = translateUncached(jetSql, dialect, nullptr, dateColumns);
    if (kept.size() >= 256)
        kept.clear();
    kept.insert(jetSql, t);
    return t;
}

}  // namespace

JetTranslation translateJetStatement(const QString& jetSql, SqlDialect dialect) {
    return translateCached(jetSql, dialect, nullptr);
}

JetTranslation translateJetStatement(const QString& jetSql, SqlDialect dialect,
                                     const StoredQueryTexts& storedQueries,
                                     const DateColumns* dateColumns) {
    JetTranslation t = translateCached(jetSql, dialect, dateColumns);
    if (!storedQueries || t.tables.isEmpty())
        return t;
    QHash<QString, QString> known = storedQueries(t.tables);
    if (known.isEmpty())
        return t;
    // The names the statement reads were asked at once; those of the stored queries it
    // reads are asked as they are met.
    QSet<QString> asked;
    for (const QString& name : std::as_const(t.tables))
        asked.insert(name.toLower());
    const StoredQueryLookup lookup = [&](const QString& name) {
        const QString key = name.toLower();
        if (!asked.contains(key)) {
            asked.insert(key);
            known.insert(storedQueries({name}));
        }
        return known.value(key);
    };
    return translateUncached(jetSql, dialect, &lookup, dateColumns);
}

QString translateJetExpression(const QString& jetExpr, SqlDialect dialect) {
    QString sql = JetSqlParser(jetExpr, dialect).criterion();
    if (dialect == SqlDialect::Postgres)
        sql = postgresNamesIn(sql);
    requireOneStatementWithoutComments(sql, jetExpr);
    return sql;
}

QString postgresName(const QString& name) {
    QString q = name.toLower();
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString jetComparedText(const QString& text) {
    QString t = text.toLower();
    qsizetype end = t.size();
    while (end > 0 && t[end - 1] == u' ')
        --end;
    t.truncate(end);
    return t;
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
