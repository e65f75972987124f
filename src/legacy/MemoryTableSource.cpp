#include "MemoryTableSource.h"

namespace velmora::legacy {

namespace {

class MemoryCursor final : public RowCursor {
  public:
    MemoryCursor(const std::vector<MemoryTableSource::Row>* rows,
                 const MemoryTableSource::RowGenerator* generator, qint64 count)
        : rows_(rows), generator_(generator), count_(count) {}

    bool next(std::vector<SourceValue>* row) override {
        if (next_ >= count_)
            return false;
        if (*generator_)
            (*generator_)(next_, row);
        else
            *row = (*rows_)[static_cast<size_t>(next_)];
        ++next_;
        return true;
    }

  private:
    const std::vector<MemoryTableSource::Row>* rows_;
    const MemoryTableSource::RowGenerator* generator_;
    qint64 count_;
    qint64 next_ = 0;
};

}  // namespace

SourceColumn column(const QString& name, JetType type, int length) {
    SourceColumn c;
    c.name = name;
    c.type = type;
    c.length = type == JetType::Text && length == 0 ? 255 : length;
    if (type == JetType::Decimal) {
        c.precision = 18;
        c.scale = 0;
    }
    return c;
}

void MemoryTableSource::addTable(const QString& name, std::vector<SourceColumn> columns,
                                 std::vector<Row> rows) {
    Table t;
    t.definition.name = name;
    t.definition.columns = std::move(columns);
    t.definition.rowCount = static_cast<qint64>(rows.size());
    t.rows = std::move(rows);
    tables_.push_back(std::move(t));
}

void MemoryTableSource::addGeneratedTable(const QString& name, std::vector<SourceColumn> columns,
                                          qint64 rowCount, RowGenerator generator) {
    Table t;
    t.definition.name = name;
    t.definition.columns = std::move(columns);
    t.definition.rowCount = rowCount;
    t.generator = std::move(generator);
    tables_.push_back(std::move(t));
}

void MemoryTableSource::addQuery(const QString& name, const QString& sql, const QString& problem) {
    queries_.push_back({name, sql, problem});
}

void MemoryTableSource::addOtherObject(const QString& name, const QString& reason) {
    others_.push_back({name, reason});
}

std::vector<SourceTable> MemoryTableSource::tables() {
    std::vector<SourceTable> out;
    out.reserve(tables_.size());
    for (const Table& t : tables_)
        out.push_back(t.definition);
    return out;
}

std::unique_ptr<RowCursor> MemoryTableSource::rows(const QString& table) {
    for (const Table& t : tables_) {
        if (t.definition.name == table)
            return std::make_unique<MemoryCursor>(&t.rows, &t.generator, t.definition.rowCount);
    }
    throw data::DbError(data::err::JetFile,
                        QStringLiteral("There is no table named '%1'.").arg(table));
}

}  // namespace velmora::legacy
