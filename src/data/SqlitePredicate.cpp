#include "SqlitePredicate.h"

#include "JetFunctionCatalog.h"

#include <QSet>

namespace velmora::data {

QString criterionStatement(const QString& sqliteExpression, const QStringList& columnNames) {
    QStringList cols;
    QSet<QString> seen;
    for (int i = 0; i < columnNames.size(); ++i) {
        const QString& n = columnNames[i];
        auto add = [&](const QString& alias) {
            if (alias.contains(u']') || seen.contains(alias.toCaseFolded()))
                return;
            seen.insert(alias.toCaseFolded());
            cols << QStringLiteral("?%1 COLLATE %2 AS [%3]")
                        .arg(i + 1)
                        .arg(QLatin1String(kJetTextCollation), alias);
        };
        add(n);
        const int dot = static_cast<int>(n.lastIndexOf(u'.'));
        if (dot > 0)
            add(n.mid(dot + 1));
    }
    if (cols.isEmpty())
        cols << QStringLiteral("NULL AS [__none]");
    return QStringLiteral("SELECT CASE WHEN (%1) THEN 1 ELSE 0 END FROM (SELECT %2)")
        .arg(sqliteExpression, cols.join(u", "));
}

SqlitePredicate::SqlitePredicate(std::shared_ptr<Database> owner, StatementCache& cache,
                                 ReadOnlyReason readOnly, const QByteArray& sql, int params,
                                 const QString& criterion)
    : owner_(std::move(owner)),
      readOnly_(readOnly),
      st_(cache, sql),
      params_(params),
      criterion_(criterion) {
    if (st_.prepareResult() != SQLITE_OK) {
        const DbError e = sqliteFailure(cache.db(), st_.prepareResult(), owner_->path(), readOnly_,
                                        {criterion, nullptr, sql, true});
        if (e.number() == err::TooFewParameters) {
            // The criterion names a column the rows do not have.
            const int from = static_cast<int>(e.text().indexOf(u'\'')) + 1;
            const QString name = e.text().mid(from, e.text().indexOf(u'\'', from) - from);
            throw DbError(err::CriteriaSyntax,
                          QStringLiteral("'%1' in the criterion \"%2\" is not a column of "
                                         "the rows searched.")
                              .arg(name, criterion));
        }
        throw e;
    }
}

bool SqlitePredicate::matches(const std::vector<Value>& row) {
    sqlite3_stmt* st = st_.get();
    sqlite3_reset(st);
    for (int i = 0; i < params_ && i < static_cast<int>(row.size()); ++i)
        bindValue(st, i + 1, row[static_cast<size_t>(i)]);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW)
        throw sqliteFailure(sqlite3_db_handle(st), rc, owner_->path(), readOnly_,
                            {criterion_, nullptr, QByteArray(), false});
    const bool match = sqlite3_column_int(st, 0) != 0;
    sqlite3_reset(st);  // no statement is left reading between searches
    return match;
}

}  // namespace velmora::data
