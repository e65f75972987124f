#pragma once

#include "TableSource.h"

#include <QString>

#include <memory>

namespace velmora::legacy {

// The tables and stored queries of a Jet 3, Jet 4 or ACE database file, read through the
// mdbtools library. The file is opened for reading only and never changed. Values are
// taken from the file's own bytes, not from mdbtools' text conversions: dates from the OLE
// date number, money from its scaled integer, text from its UTF-16 (or compressed) bytes.
class MdbTableSource final : public TableSource {
  public:
    // Opens a file; throws data::DbError naming the file when it is missing, unreadable,
    // empty, cut short or no Jet database.
    static std::unique_ptr<MdbTableSource> open(const QString& path);
    ~MdbTableSource() override;

    const QString& path() const { return path_; }

    QString formatName() const override { return format_; }
    std::vector<SourceTable> tables() override;
    std::unique_ptr<RowCursor> rows(const QString& table) override;
    std::vector<SourceQuery> queries() override;
    std::vector<SourceObject> otherObjects() override;

    struct Handle;

  private:
    MdbTableSource(QString path, QString format, std::unique_ptr<Handle> handle);

    QString path_;
    QString format_;
    std::unique_ptr<Handle> handle_;
};

}  // namespace velmora::legacy
