#pragma once

#include "TableSource.h"

#include <QString>

#include <memory>
#include <optional>

namespace velmora::legacy {

class ReaderProcess;

// The tables, rows and stored queries of a Jet file as a reader process of its own reads
// them (see ReaderProcess): whatever the file does to mdbtools, this program goes on, and a
// reader that crashes, hangs or answers garbage is a data::DbError (kDamagedJetFile) naming
// the file. The table list, queries and other objects are asked for together, once, when the
// file is opened; rows come in batches, one table at a time.
class ReaderProcessSource final : public TableSource {
  public:
    // Checks the file as checkJetFile does, then starts its reader. Throws data::DbError.
    static std::unique_ptr<ReaderProcessSource> open(const QString& path,
                                                     const QString& codePage = {});
    ~ReaderProcessSource() override;

    QString formatName() const override;
    std::vector<SourceTable> tables() override;
    std::unique_ptr<RowCursor> rows(const QString& table) override;
    std::vector<SourceQuery> queries() override;
    std::vector<SourceObject> otherObjects() override;

  private:
    explicit ReaderProcessSource(std::unique_ptr<ReaderProcess> process);
    // Reads the answers to the three lists asked for on opening.
    void takeLists();

    // A list as the reader gave it, or why it could not.
    template <typename T>
    struct Answer {
        std::vector<T> items;
        std::optional<data::DbError> failure;
        const std::vector<T>& get() const {
            if (failure)
                throw *failure;
            return items;
        }
    };

    std::unique_ptr<ReaderProcess> process_;
    Answer<SourceTable> tables_;
    Answer<SourceQuery> queries_;
    Answer<SourceObject> objects_;
    int generation_ = 0;  // counts cursors opened: only the newest may read
};

// A Jet file to read: the source a conversion reads it through.
// A Jet file to read: the source a conversion reads it through. codePage is the code page of
// a Jet 3 file's text (an iconv name); empty: Windows-1252.
std::unique_ptr<TableSource> openJetFile(const QString& path, const QString& codePage = {});

// Throws data::DbError when iconv does not know the code page; an empty one is Windows-1252.
void checkCodePage(const QString& codePage);

// The code page a Jet 3 file's text is read in: the one given, or Windows-1252.
QString jet3CodePage(const QString& codePage);

}  // namespace velmora::legacy
