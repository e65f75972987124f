#include "ReaderProcessSource.h"

#include <iconv.h>

#include "JetFile.h"
#include "ReaderProcess.h"

namespace velmora::legacy {

namespace {

// The rows of one table, a batch at a time.
class ProcessCursor final : public RowCursor {
  public:
    ProcessCursor(ReaderProcess& process, const int& currentGeneration, QString table,
                  size_t columns)
        : process_(process),
          currentGeneration_(currentGeneration),
          generation_(currentGeneration),
          table_(std::move(table)),
          columns_(columns) {
        wire::Writer request(wire::Kind::Rows);
        request.text(table_);
        process_.send(std::move(request));
        process_.rowsFollow();
        take(process_.receive(wire::Kind::RowBatch));
    }

    bool next(std::vector<SourceValue>* row) override {
        if (currentGeneration_ != generation_)
            throw data::DbError(data::err::JetFile,
                                QStringLiteral("The rows of table '%1' in %2 were read after "
                                               "another table was opened.")
                                    .arg(table_, process_.path()));
        while (left_ == 0) {
            if (last_)
                return false;
            take(process_.receive(wire::Kind::RowBatch));
        }
        *row = wire::readRow(*batch_);
        --left_;
        // A row must have a value for each of the table's columns: they are used by position.
        if (batch_->garbled() || row->size() != columns_ || (left_ == 0 && !batch_->complete()))
            process_.garbled();
        return true;
    }

    qint64 unreadableRows() const override { return unreadable_; }

  private:
    void take(const QByteArray& content) {
        batch_.emplace(content);
        last_ = batch_->u8() != 0;
        if (last_)
            process_.rowsEnded();
        unreadable_ = batch_->i64();
        left_ = batch_->count(1);
        if (batch_->garbled() || unreadable_ < 0 || (left_ == 0 && !batch_->complete()))
            process_.garbled();
    }

    ReaderProcess& process_;
    const int& currentGeneration_;
    int generation_;
    QString table_;
    size_t columns_;
    std::optional<wire::Reader> batch_;
    std::uint32_t left_ = 0;
    bool last_ = false;
    qint64 unreadable_ = 0;
};

}  // namespace

ReaderProcessSource::ReaderProcessSource(std::unique_ptr<ReaderProcess> process)
    : process_(std::move(process)) {}

ReaderProcessSource::~ReaderProcessSource() = default;

std::unique_ptr<ReaderProcessSource> ReaderProcessSource::open(const QString& path,
                                                               const QString& codePage) {
    checkJetFile(path);
    std::unique_ptr<ReaderProcessSource> source(
        new ReaderProcessSource(std::make_unique<ReaderProcess>(path, codePage)));
    source->takeLists();
    return source;
}

namespace {

// Reads one list's answer into items, or keeps why it could not be read: a failure of
// that list alone is told when the list is used, as reading it in turn would.
template <typename T, typename ReadFn>
void takeAnswer(ReaderProcess& process, wire::Kind kind, ReadFn read, std::vector<T>* items,
                std::optional<data::DbError>* failure) {
    try {
        wire::Reader r(process.receive(kind));
        *items = read(r);
        if (!r.complete())
            process.garbled();
    } catch (const data::DbError& e) {
        if (process.broken())
            throw;
        *failure = e;
    }
}

}  // namespace

void ReaderProcessSource::takeLists() {
    // Asked for together: one wait for the reader instead of three.
    process_->send(wire::Writer(wire::Kind::Tables));
    process_->send(wire::Writer(wire::Kind::Objects));
    process_->send(wire::Writer(wire::Kind::Queries));
    takeAnswer(*process_, wire::Kind::TableList, wire::readTables, &tables_.items,
               &tables_.failure);
    takeAnswer(*process_, wire::Kind::ObjectList, wire::readObjects, &objects_.items,
               &objects_.failure);
    takeAnswer(*process_, wire::Kind::QueryList, wire::readQueries, &queries_.items,
               &queries_.failure);
}

QString ReaderProcessSource::formatName() const {
    return process_->formatName();
}

std::vector<SourceTable> ReaderProcessSource::tables() {
    return tables_.get();
}

std::unique_ptr<RowCursor> ReaderProcessSource::rows(const QString& table) {
    size_t columns = 0;
    bool found = false;
    for (const SourceTable& t : tables_.get()) {
        if (t.name == table) {
            columns = t.columns.size();
            found = true;
        }
    }
    if (!found)
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The Jet database %1 has no readable table '%2'.")
                                .arg(process_->path(), table));
    ++generation_;
    return std::make_unique<ProcessCursor>(*process_, generation_, table, columns);
}

std::vector<SourceQuery> ReaderProcessSource::queries() {
    return queries_.get();
}

std::vector<SourceObject> ReaderProcessSource::otherObjects() {
    return objects_.get();
}

std::unique_ptr<TableSource> openJetFile(const QString& path, const QString& codePage) {
    return ReaderProcessSource::open(path, codePage);
}

void checkCodePage(const QString& codePage) {
    if (codePage.isEmpty())
        return;
    const iconv_t cd = iconv_open("UTF-8", codePage.toLatin1().constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The code page %1 is not known: name one as iconv "
                                           "knows it, such as GBK, CP1251 or CP1258.")
                                .arg(codePage));
    iconv_close(cd);
}

QString jet3CodePage(const QString& codePage) {
    return codePage.isEmpty() ? QStringLiteral("CP1252") : codePage;
}

}  // namespace velmora::legacy
