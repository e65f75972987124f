#include "RowSource.h"

#include "DbError.h"

namespace velmora::data {

QString unbracketName(const QString& n) {
    if (n.size() >= 2 && n.startsWith(u'[') && n.endsWith(u']'))
        return n.mid(1, n.size() - 2);
    return n;
}

RowSource resolveRowSource(const QString& source, SqlDialect dialect, const QString& where,
                           const std::function<bool(const QString& name)>& hasTable,
                           const std::function<QString(const QString& name)>& storedQuery,
                           const StoredQueryTexts& storedQueries, const DateColumns* dateColumns) {
    const QString s = source.trimmed();
    if (s.isEmpty())
        throw DbError(err::ObjectNotFound,
                      QStringLiteral("No table or query was named for %1.").arg(where));
    RowSource r;
    if (looksLikeSqlStatement(s)) {
        r.select = translateJetStatement(s, dialect, storedQueries, dateColumns);
        if (!r.select.isSelect)
            throw DbError(err::SyntaxError,
                          QStringLiteral("Only a SELECT statement gives rows: \"%1\".").arg(s));
        r.text = source;
        return r;
    }
    const QString name = unbracketName(s);
    if (hasTable(name)) {
        r.select.isSelect = true;
        r.select.updatableTable = name;
        r.text = source;
        return r;
    }
    const QString stored = storedQuery(name);
    if (stored.isNull())
        throw DbError(
            err::ObjectNotFound,
            QStringLiteral("Cannot find the table or query '%1' in %2.").arg(name, where));
    r.select = translateJetStatement(stored, dialect, storedQueries, dateColumns);
    if (!r.select.isSelect)
        throw DbError(err::SyntaxError,
                      QStringLiteral("The stored query '%1' does not give rows.").arg(name));
    r.text = stored;
    return r;
}

}  // namespace velmora::data
