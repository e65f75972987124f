#pragma once

// A Jet criterion tested against rows given as values, on a database server. Internal to
// the PostgreSQL back end.

#include "data/Database.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace velmora::data::pg {

// The row's values are bound with the types they have; a column whose value is Null takes
// the type its values had before (text until one is seen).
class PgPredicate final : public RowPredicate {
  public:
    // Runs PostgreSQL text with values bound to $1, $2, ... and gives its rows.
    using Rows = std::function<std::vector<std::vector<Value>>(const QString& sql,
                                                               const std::vector<Value>& args)>;
    // owner keeps the connection open while the predicate lives.
    PgPredicate(std::shared_ptr<Database> owner, Rows rows, QString expr, QStringList columns,
                QString criterion);
    bool matches(const std::vector<Value>& row) override;
    // Tests the rows in batches, each in one statement, so that a search through many rows
    // costs a few round trips rather than one per row.
    int firstMatch(int from, int count, const RowAt& rowAt) override;

  private:
    // The first match among the rows [from, to) in one statement: its index, -1 when none
    // matches, or nothing when the batch cannot be tested as one (a column holding both
    // text and numbers, or a failure of the statement), and its rows are tested in turn.
    std::optional<int> firstMatchInOne(int from, int to, const RowAt& rowAt);

    std::shared_ptr<Database> owner_;
    Rows rows_;
    QString expr_;
    QStringList columns_;
    QString criterion_;
    std::vector<Value::Type> seen_;
    std::vector<QStringList> aliases_;  // each column's names in a statement
    std::vector<QStringList> inBatch_;  // those a batch sends: the ones the criterion names
};

}  // namespace velmora::data::pg
