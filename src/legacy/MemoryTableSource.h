#pragma once

#include "TableSource.h"

#include <functional>

namespace velmora::legacy {

// A table source kept in memory, for tests and benchmarks: tables given row by row, or
// generated, so that a source of a million rows needs no memory for its rows.
class MemoryTableSource final : public TableSource {
  public:
    using Row = std::vector<SourceValue>;
    // Fills the row of this index (counted from 0).
    using RowGenerator = std::function<void(qint64 index, Row* row)>;

    explicit MemoryTableSource(QString formatName = QStringLiteral("Jet 4 (in memory)"))
        : format_(std::move(formatName)) {}

    void addTable(const QString& name, std::vector<SourceColumn> columns, std::vector<Row> rows);
    void addGeneratedTable(const QString& name, std::vector<SourceColumn> columns, qint64 rowCount,
                           RowGenerator generator);
    void addQuery(const QString& name, const QString& sql, const QString& problem = {});
    void addOtherObject(const QString& name, const QString& reason);

    QString formatName() const override { return format_; }
    std::vector<SourceTable> tables() override;
    std::unique_ptr<RowCursor> rows(const QString& table) override;
    std::vector<SourceQuery> queries() override { return queries_; }
    std::vector<SourceObject> otherObjects() override { return others_; }

  private:
    struct Table {
        SourceTable definition;
        std::vector<Row> rows;
        RowGenerator generator;
    };
    QString format_;
    std::vector<Table> tables_;
    std::vector<SourceQuery> queries_;
    std::vector<SourceObject> others_;
};

// Shorthands for the columns of a source kept in memory.
SourceColumn column(const QString& name, JetType type, int length = 0);

}  // namespace velmora::legacy
