#include "MdbTableSource.h"

#include "ExtendedDate.h"
#include "Jet3Text.h"
#include "JetColumnDefinition.h"
#include "JetFile.h"
#include "JetQueryText.h"
#include "JetText.h"
#include "MdbValues.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QtEndian>

#include <mdbtools.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>

namespace velmora::legacy {

struct MdbTableSource::Handle {
    MdbHandle* mdb = nullptr;
    int generation = 0;              // counts cursors opened: only the newest may read
    std::unique_ptr<Jet3Text> jet3;  // a Jet 3 file's code page; null for Jet 4 and ACE
    ~Handle() {
        if (mdb)
            mdb_close(mdb);
    }
};

namespace {

constexpr int kOffsetMask = 0x1fff;
constexpr int kRowDeleted = 0x4000;
// MSysObjects' type of a stored query.
constexpr int kQueryObject = 5;

using TableDef = std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)>;

bool isJet3(const MdbHandle* mdb) {
    return mdb->f->jet_version == MDB_VER_JET3;
}

JetType jetTypeOf(const MdbColumn* col) {
    return jetTypeOfCode(col->col_type);
}

MdbColumn* columnAt(MdbTableDef* table, unsigned i) {
    return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
}

MdbCatalogEntry* catalogEntry(MdbHandle* mdb, unsigned i) {
    return static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
}

// The name of a table or column as mdbtools hands it over: a Jet 3 file's names are kept as
// their bytes (see keepJet3Bytes) and decoded in the file's code page here.
QString nameOf(const MdbTableSource::Handle& handle, const char* name) {
    if (!handle.jet3)
        return QString::fromUtf8(name);
    const QByteArray bytes = QString::fromUtf8(name).toLatin1();
    return handle.jet3->decode(bytes.constData(), bytes.size());
}

// mdbtools converts a Jet 3 file's text without flushing its converter, so a code page that
// holds a letter back loses the last letter of every name, those of the file's own system
// tables too, and the list of tables cannot be read. It is given ISO-8859-1, which keeps each
// byte as it is; names and text are decoded in the file's code page by Jet3Text.
void keepJet3Bytes(MdbHandle* mdb) {
    mdb_iconv_close(mdb);
    mdb->iconv_in = iconv_open("UTF-8", "ISO-8859-1");
    mdb->iconv_out = iconv_open("ISO-8859-1", "UTF-8");
}

// Reads a table page by page, row by row, straight from the file's bytes.
class MdbCursor final : public RowCursor {
  public:
    MdbCursor(MdbTableSource::Handle* handle, TableDef table, QString name, QString file)
        : handle_(handle),
          generation_(++handle->generation),
          table_(std::move(table)),
          name_(std::move(name)),
          file_(std::move(file)),
          fields_(std::max(1u, table_->num_cols)) {
        const std::map<int, ColumnDefinition> defs = readColumnDefinitions(table_.get());
        for (unsigned i = 0; i < table_->num_cols; ++i) {
            const MdbColumn* c = columnAt(table_.get(), i);
            const auto def = defs.find(c->col_num);
            const bool known = def != defs.end();
            calculated_.push_back(known && def->second.calculated);
            types_.push_back(calculated_.back() ? def->second.resultType : jetTypeOf(c));
            scales_.push_back(known ? def->second.scale : c->col_scale);
        }
        mdb_rewind_table(table_.get());
    }

    bool next(std::vector<SourceValue>* row) override {
        if (handle_->generation != generation_)
            throw data::DbError(data::err::JetFile,
                                QStringLiteral("The rows of table '%1' in %2 were read after "
                                               "another table was opened.")
                                    .arg(name_, file_));
        MdbHandle* mdb = handle_->mdb;
        MdbTableDef* t = table_.get();
        if (t->num_cols == 0 || finished_)
            return false;
        if (!started_) {
            // Without its map of pages mdbtools would read the table through a null pointer.
            if (!t->usage_map || t->map_sz < 1)
                throw data::DbError(data::err::JetFile,
                                    QStringLiteral("The table '%1' in %2 is damaged: the list of "
                                                   "its pages cannot be read.")
                                        .arg(name_, file_));
            started_ = true;
            if (!mdb_read_next_dpg(t))
                return finish();
            rowOnPage_ = 0;
        }
        for (;;) {
            const int rowsOnPage = mdb_get_int16(mdb->pg_buf, mdb->fmt->row_count_offset);
            if (rowOnPage_ >= rowsOnPage) {
                if (!mdb_read_next_dpg(t))
                    return finish();
                rowOnPage_ = 0;
                continue;
            }
            const int r = rowOnPage_++;
            int start = 0;
            size_t size = 0;
            if (mdb_find_row(mdb, r, &start, &size) != 0 || size == 0)
                continue;
            if (start & kRowDeleted)
                continue;
            start &= kOffsetMask;
            const int count = mdb_crack_row(t, start, size, fields_.data());
            if (count < 0) {
                ++damagedRows_;
                continue;
            }
            row->assign(t->num_cols, SourceValue());
            for (unsigned i = 0; i < t->num_cols; ++i) {
                const MdbField& f = fields_[i];
                if (f.colnum < 0 || static_cast<unsigned>(f.colnum) >= t->num_cols)
                    continue;
                const auto c = static_cast<size_t>(f.colnum);
                (*row)[c] = calculated_[c]
                                ? decodeCalculated(mdb, f, types_[c])
                                : decodeField(mdb, handle_->jet3.get(), f, types_[c], scales_[c]);
            }
            return true;
        }
    }

    qint64 unreadableRows() const override { return damagedRows_; }

  private:
    bool finish() {
        finished_ = true;
        return false;
    }

    MdbTableSource::Handle* handle_;
    int generation_;
    TableDef table_;
    QString name_, file_;
    std::vector<MdbField> fields_;
    std::vector<JetType> types_;
    std::vector<int> scales_;
    std::vector<bool> calculated_;
    bool started_ = false, finished_ = false;
    int rowOnPage_ = 0;
    qint64 damagedRows_ = 0;
};

// A table's definition with its columns; null when either cannot be read. A damaged
// definition can state more columns than mdbtools could read (or read none of them, leaving
// its list of columns null): every loop over the columns relies on this check.
TableDef readTable(MdbCatalogEntry* entry) {
    TableDef t(mdb_read_table(entry), mdb_free_tabledef);
    if (!t)
        return t;
    const GPtrArray* columns = mdb_read_columns(t.get());
    if (!columns || columns != t->columns || columns->len < t->num_cols)
        return TableDef(nullptr, mdb_free_tabledef);
    return t;
}

bool isUserTable(MdbCatalogEntry* e) {
    return e->object_type == MDB_TABLE && mdb_is_user_table(e);
}

// The rows of a system table as maps from column name (case-folded) to value.
std::vector<QHash<QString, SourceValue>> systemRows(MdbTableSource::Handle* handle,
                                                    const QString& file, const char* name) {
    MdbHandle* mdb = handle->mdb;
    std::vector<QHash<QString, SourceValue>> out;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        MdbCatalogEntry* e = catalogEntry(mdb, i);
        if (e->object_type != MDB_TABLE || std::strcmp(e->object_name, name) != 0)
            continue;
        TableDef t = readTable(e);
        if (!t)
            break;
        QStringList names;
        for (unsigned c = 0; c < t->num_cols; ++c)
            names << QString::fromUtf8(columnAt(t.get(), c)->name).toCaseFolded();
        MdbCursor cursor(handle, std::move(t), QString::fromLatin1(name), file);
        std::vector<SourceValue> row;
        while (cursor.next(&row)) {
            QHash<QString, SourceValue> values;
            for (size_t c = 0; c < row.size() && c < static_cast<size_t>(names.size()); ++c)
                values.insert(names[static_cast<qsizetype>(c)], row[c]);
            out.push_back(std::move(values));
        }
        break;
    }
    return out;
}

// Whether every page the table's usage map names lies inside the file: a file cut short
// loses the pages at its end.
bool pagesInFile(MdbHandle* mdb, MdbTableDef* t, qint64 pagesInFile) {
    if (!t->usage_map)
        return false;
    gint32 page = 0;
    for (int n = 0; n <= pagesInFile; ++n) {
        page = mdb_map_find_next(mdb, t->usage_map, static_cast<unsigned>(t->map_sz),
                                 static_cast<guint32>(page));
        if (page <= 0)  // the end of the map (page 0 is the header, never a data page)
            return true;
        if (page >= pagesInFile)
            return false;
    }
    return false;
}

bool catalogComplete(MdbTableSource::Handle* handle, const QString& file) {
    MdbHandle* mdb = handle->mdb;
    const qint64 pages = QFileInfo(file).size() / mdb->fmt->pg_size;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        MdbCatalogEntry* e = catalogEntry(mdb, i);
        if (e->object_type != MDB_TABLE || std::strcmp(e->object_name, "MSysObjects") != 0)
            continue;
        TableDef t = readTable(e);
        if (!t)
            return false;
        const qint64 stated = t->num_rows;
        // The count in a table's definition can be larger than its rows (Access does not
        // always lower it when rows are deleted): fewer rows are only a sign of damage when
        // pages of the list are missing.
        const bool whole = pagesInFile(mdb, t.get(), pages);
        MdbCursor cursor(handle, std::move(t), QStringLiteral("MSysObjects"), file);
        std::vector<SourceValue> row;
        qint64 read = 0;
        while (cursor.next(&row))
            ++read;
        return (read >= stated || whole) && cursor.unreadableRows() == 0;
    }
    return false;
}

QString textField(const QHash<QString, SourceValue>& row, const char* name) {
    const SourceValue v = row.value(QString::fromLatin1(name));
    return v.kind() == SourceValue::Kind::Text ? v.text() : QString();
}

qint64 integerField(const QHash<QString, SourceValue>& row, const char* name) {
    const SourceValue v = row.value(QString::fromLatin1(name));
    return v.kind() == SourceValue::Kind::Integer ? v.integerValue() : 0;
}

}  // namespace

MdbTableSource::MdbTableSource(QString path, QString format, std::unique_ptr<Handle> handle)
    : path_(std::move(path)), format_(std::move(format)), handle_(std::move(handle)) {}

MdbTableSource::~MdbTableSource() = default;

std::unique_ptr<MdbTableSource> MdbTableSource::open(const QString& path) {
    const JetFileHeader header = checkJetFile(path);
    auto handle = std::make_unique<Handle>();
    handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!handle->mdb)
        throw data::DbError(
            kDamagedJetFile,
            QStringLiteral("The Jet database %1 cannot be opened: its first page is damaged.")
                .arg(path));
    if (isJet3(handle->mdb)) {
        // The file does not say which code page its text is in: Windows-1252 unless
        // MDB_JET3_CHARSET names another (the reader process is given the user's choice).
        const QString codePage = qEnvironmentVariable("MDB_JET3_CHARSET", QStringLiteral("CP1252"));
        handle->jet3 = std::make_unique<Jet3Text>(codePage.toLatin1());
        if (!handle->jet3->valid())
            throw data::DbError(data::err::JetFile,
                                QStringLiteral("The Jet database %1 cannot be read: the code page "
                                               "%2 is not known.")
                                    .arg(path, codePage));
        keepJet3Bytes(handle->mdb);
    }
    // The header's encoding key is set when the pages are encrypted. mdbtools decodes Jet 3
    // and Jet 4 encoding, which needs no password, but not the encryption of an ACE file
    // with a password: its pages would be read as garbage.
    const bool encrypted = handle->mdb->f->db_key != 0;
    if (encrypted && handle->mdb->f->jet_version >= MDB_VER_ACCDB_2007)
        throw encryptedJetFileError(path);
    if (!mdb_read_catalog(handle->mdb, MDB_ANY)) {
        if (encrypted)
            throw encryptedJetFileError(path);
        throw data::DbError(kDamagedJetFile,
                            QStringLiteral("The Jet database %1 is damaged: its list of tables "
                                           "cannot be read.")
                                .arg(path));
    }
    // A file cut short at a page boundary passes the checks above, and mdbtools lists only
    // the tables whose entries it could read: the list must hold every row its definition
    // counts, or tables would go missing without a word.
    if (!catalogComplete(handle.get(), path)) {
        if (encrypted)
            throw encryptedJetFileError(path);
        throw data::DbError(kDamagedJetFile,
                            QStringLiteral("The Jet database %1 is damaged or cut short: its list "
                                           "of tables is incomplete.")
                                .arg(path));
    }
    return std::unique_ptr<MdbTableSource>(
        new MdbTableSource(path, header.formatName, std::move(handle)));
}

std::vector<SourceTable> MdbTableSource::tables() {
    MdbHandle* mdb = handle_->mdb;
    std::vector<SourceTable> out;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        MdbCatalogEntry* e = catalogEntry(mdb, i);
        if (!isUserTable(e))
            continue;
        SourceTable table;
        table.name = nameOf(*handle_, e->object_name);
        TableDef t = readTable(e);
        if (!t)
            throw data::DbError(kDamagedJetFile,
                                QStringLiteral("The Jet database %1 is damaged: the definition "
                                               "of table '%2' cannot be read.")
                                    .arg(path_, table.name));
        table.rowCount = t->num_rows;
        const std::map<int, ColumnDefinition> defs = readColumnDefinitions(t.get());
        for (unsigned c = 0; c < t->num_cols; ++c) {
            const MdbColumn* col = columnAt(t.get(), c);
            SourceColumn sc;
            sc.name = nameOf(*handle_, col->name);
            sc.type = jetTypeOf(col);
            if (sc.type == JetType::Text)
                sc.length = isJet3(mdb) ? col->col_size : col->col_size / 2;
            sc.precision = col->col_prec;
            sc.scale = col->col_scale;
            if (const auto def = defs.find(col->col_num); def != defs.end()) {
                sc.precision = def->second.precision;
                sc.scale = def->second.scale;
                sc.calculated = def->second.calculated;
                if (sc.calculated) {
                    sc.type = def->second.resultType;
                    sc.expression = def->second.expression;
                    sc.length = sc.type == JetType::Text ? 255 : 0;
                }
            }
            sc.autoNumber = col->is_long_auto != 0;
            table.columns.push_back(sc);
        }
        out.push_back(std::move(table));
    }
    return out;
}

std::unique_ptr<RowCursor> MdbTableSource::rows(const QString& table) {
    MdbHandle* mdb = handle_->mdb;
    const QByteArray name = table.toUtf8();
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        MdbCatalogEntry* e = catalogEntry(mdb, i);
        if (!isUserTable(e) || name != e->object_name)
            continue;
        TableDef t = readTable(e);
        if (!t)
            break;
        return std::make_unique<MdbCursor>(handle_.get(), std::move(t), table, path_);
    }
    throw data::DbError(
        data::err::JetFile,
        QStringLiteral("The Jet database %1 has no readable table '%2'.").arg(path_, table));
}

std::vector<SourceQuery> MdbTableSource::queries() {
    // The stored queries are rows of two system tables: their names in MSysObjects, the
    // parts of their statements in MSysQueries.
    std::map<qint64, std::pair<QString, int>> names;  // id: name and flags
    for (const auto& row : systemRows(handle_.get(), path_, "MSysObjects")) {
        if (integerField(row, "type") == kQueryObject)
            names[integerField(row, "id")] = {textField(row, "name"),
                                              static_cast<int>(integerField(row, "flags"))};
    }
    if (names.empty())
        return {};
    std::map<qint64, std::vector<QueryDefRow>> parts;
    for (const auto& row : systemRows(handle_.get(), path_, "MSysQueries")) {
        QueryDefRow r;
        r.attribute = static_cast<int>(integerField(row, "attribute"));
        r.expression = textField(row, "expression");
        r.flag = static_cast<int>(integerField(row, "flag"));
        r.name1 = textField(row, "name1");
        r.name2 = textField(row, "name2");
        parts[integerField(row, "objectid")].push_back(r);
    }
    std::vector<SourceQuery> out;
    for (const auto& [id, entry] : names) {
        const auto& [name, flags] = entry;
        SourceQuery q;
        q.name = name;
        const auto it = parts.find(id);
        if (name.startsWith(u'~'))
            q.problem = QStringLiteral("it belongs to a form or report of the file");
        else if (it == parts.end())
            q.problem = QStringLiteral("its definition is missing from the file");
        else
            q.sql = jetQuerySql(it->second, flags, &q.problem);
        out.push_back(q);
    }
    std::sort(out.begin(), out.end(), [](const SourceQuery& a, const SourceQuery& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return out;
}

std::vector<SourceObject> MdbTableSource::otherObjects() {
    MdbHandle* mdb = handle_->mdb;
    std::vector<SourceObject> out;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        MdbCatalogEntry* e = catalogEntry(mdb, i);
        if (e->object_type == MDB_LINKED_TABLE)
            out.push_back({nameOf(*handle_, e->object_name),
                           QStringLiteral("a table linked to another database file: its rows "
                                          "are not kept in this file")});
    }
    return out;
}

}  // namespace velmora::legacy
