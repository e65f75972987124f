#pragma once

#include "FleetRows.h"
#include "RowInserter.h"

#include <QString>

namespace velmora::demo {

// Writes aircraft, components and oil samples into the tables of an open main data file.
// Rows are batched; finish() writes what is still pending. The caller owns the
// transaction around the whole fill.
class MainFileWriter {
  public:
    explicit MainFileWriter(data::Database& db);

    void add(const AircraftRow& a);
    void add(const ComponentRow& c);
    void add(const OilSampleRow& s);
    void finish();

  private:
    RowInserter aircraft_;
    RowInserter parts_;
    RowInserter oil_;
};

// Writes one make's template rows into its table of an open template file: creates the
// table and lists each of the make's models in the Aircraft index table.
class TemplateFileWriter {
  public:
    explicit TemplateFileWriter(data::Database& db);

    void addMake(const QString& make);
    void addModel(const QString& make, const QString& model);
    void add(const QString& make, const TemplateRow& row);

  private:
    data::Database& db_;
};

}  // namespace velmora::demo
