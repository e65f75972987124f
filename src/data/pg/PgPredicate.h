#pragma once

// A Jet criterion tested against rows given as values, on a database server. Internal to
// the PostgreSQL back end.

#include "data/Database.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
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

  private:
    std::shared_ptr<Database> owner_;
    Rows rows_;
    QString expr_;
    QStringList columns_;
    QString criterion_;
    std::vector<Value::Type> seen_;
};

}  // namespace velmora::data::pg
