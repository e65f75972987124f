#pragma once

// A Jet criterion tested against rows given as values, on an SQLite connection (the
// engine's find and filter). Internal to the engine.

#include "Database.h"
#include "SqliteErrors.h"
#include "SqliteStatement.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace velmora::data {

// The SQLite statement that tests a translated criterion against one row: the row's values
// are bound to ?1, ?2, ... under the names of columnNames (and their parts after a dot).
QString criterionStatement(const QString& sqliteExpression, const QStringList& columnNames);

class SqlitePredicate final : public RowPredicate {
  public:
    // owner keeps the connection open while the predicate lives; cache is its statements.
    SqlitePredicate(std::shared_ptr<Database> owner, StatementCache& cache, ReadOnlyReason readOnly,
                    const QByteArray& sql, int params, const QString& criterion);
    bool matches(const std::vector<Value>& row) override;

  private:
    std::shared_ptr<Database> owner_;
    ReadOnlyReason readOnly_;
    Statement st_;
    int params_;
    QString criterion_;
};

}  // namespace velmora::data
