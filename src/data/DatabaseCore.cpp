#include "DatabaseCore.h"

#include "RowSource.h"

namespace velmora::data {

void DatabaseCore::beginScratchTransaction() {
    openLevel(true);
    if (scratchDepth_ == 0)
        scratchDepth_ = depth_;
}

void DatabaseCore::commit() {
    if (depth_ == 0)
        throw DbError(err::Internal, QStringLiteral("There is no transaction to commit."));
    if (scratchDepth_ != 0 && depth_ == scratchDepth_)
        throw DbError(
            err::Internal,
            QStringLiteral("Work done to be undone cannot be saved in %1.").arg(shownName()));
    releaseLevel();
}

void DatabaseCore::rollback() {
    if (depth_ == 0)
        throw DbError(err::Internal, QStringLiteral("There is no transaction to roll back."));
    const int level = --depth_;  // the level is gone even when the back end reports a failure
    if (scratchDepth_ > depth_)
        scratchDepth_ = 0;
    undoLevel(level);
}

void DatabaseCore::createQueryDef(const QString& name, const QString& jetSql) {
    const QString n = name.trimmed();
    if (n.isEmpty() || n.contains(u']'))
        throw DbError(err::SyntaxError,
                      QStringLiteral("'%1' cannot name a stored query.").arg(name));
    if (hasTable(n) || hasQueryDef(n))
        throw DbError(err::ObjectExists,
                      QStringLiteral("Object '%1' already exists in %2.").arg(n, shownName()));
    keepQueryDef(n, jetSql);
}

void DatabaseCore::deleteQueryDef(const QString& name) {
    const QString n = unbracketName(name.trimmed());
    if (removeQueryDef(n) == 0)
        throw DbError(
            err::ItemNotFound,
            QStringLiteral("There is no stored query named '%1' in %2.").arg(n, shownName()));
}

bool DatabaseCore::hasQueryDef(const QString& name) {
    return !queryDefSqlOrNull(unbracketName(name.trimmed())).isNull();
}

QString DatabaseCore::queryDefSql(const QString& name) {
    const QString n = unbracketName(name.trimmed());
    const QString sql = queryDefSqlOrNull(n);
    if (sql.isNull())
        throw DbError(err::ObjectNotFound,
                      QStringLiteral("Cannot find the query '%1' in %2.").arg(n, shownName()));
    return sql;
}

void DatabaseCore::throwRowNotFound(const QString& table) {
    throw DbError(err::NoCurrentRecord,
                  QStringLiteral("The row was deleted from table '%1'.").arg(table));
}

}  // namespace velmora::data
