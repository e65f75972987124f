#include "MdbTableSource.h"

#include "ExtendedDate.h"
#include "Jet3Text.h"
#include "JetColumnDefinition.h"
#include "JetFile.h"
#include "JetQueryText.h"
#include "JetText.h"

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

// A memo or OLE value longer than this is taken for damage, not read.
constexpr quint32 kLongestValue = 256u * 1024 * 1024;
// Bytes before a long value's data in the row: its length and flags, where it lives.
constexpr int kLongValueHeader = 12;
constexpr int kOffsetMask = 0x1fff;
constexpr int kRowDeleted = 0x4000;
// MSysObjects' type of a stored query.
constexpr int kQueryObject = 5;

using TableDef = std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)>;

bool isJet3(const MdbHandle* mdb) {
    return mdb->f->jet_version == MDB_VER_JET3;
}

template <typename T>
T littleEndian(const unsigned char* p) {
    return qFromLittleEndian<T>(p);
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

// A Decimal: a sign byte, then the magnitude as four 32-bit words, the most significant first.
QString decimalText(const unsigned char* p, int scale) {
    quint32 words[4];
    for (int w = 0; w < 4; ++w)
        words[w] = littleEndian<quint32>(p + 1 + 4 * w);
    return scaledDecimalText((p[0] & 0x80) != 0, words, scale);
}

// The bytes of a memo or OLE value: kept in the row itself, on one other page, or on a
// chain of pages. Empty with *problem set when the file's pointers lead nowhere.
QByteArray readLongValue(MdbHandle* mdb, int start, int size, QString* problem) {
    if (size < kLongValueHeader) {
        *problem = QStringLiteral("its length field is cut short");
        return {};
    }
    const unsigned char* head = mdb->pg_buf + start;
    const auto lengthAndFlags = littleEndian<quint32>(head);
    const quint32 length = lengthAndFlags & 0x3FFFFFFF;
    if (length > kLongestValue) {
        *problem = QStringLiteral("it claims a length of %1 bytes").arg(length);
        return {};
    }
    if (lengthAndFlags & 0x80000000) {
        const int available = size - kLongValueHeader;
        return QByteArray(reinterpret_cast<const char*>(head + kLongValueHeader),
                          std::min<qsizetype>(length, available));
    }
    auto pageRow = static_cast<int>(littleEndian<quint32>(head + 4));
    if (lengthAndFlags & 0x40000000) {
        void* buf = nullptr;
        int offset = 0;
        size_t rowLength = 0;
        if (mdb_find_pg_row(mdb, pageRow, &buf, &offset, &rowLength) != 0) {
            *problem = QStringLiteral("the page holding it cannot be read");
            return {};
        }
        offset &= kOffsetMask;
        return QByteArray(static_cast<const char*>(buf) + offset,
                          std::min<qsizetype>(length, static_cast<qsizetype>(rowLength)));
    }
    if ((lengthAndFlags & 0xFF000000) != 0) {
        *problem = QStringLiteral("it is stored in a way not known (flags %1)")
                       .arg(lengthAndFlags >> 24, 2, 16, QLatin1Char('0'));
        return {};
    }
    QByteArray out;
    out.reserve(static_cast<qsizetype>(std::min<quint32>(length, 16u * 1024 * 1024)));
    // A chain that comes back to a row it passed would repeat its bytes up to the stated
    // length: a loop, not a value.
    QSet<int> passed;
    while (pageRow != 0 && out.size() < static_cast<qsizetype>(length)) {
        void* buf = nullptr;
        int offset = 0;
        size_t rowLength = 0;
        if (passed.contains(pageRow) ||
            mdb_find_pg_row(mdb, pageRow, &buf, &offset, &rowLength) != 0 || rowLength < 4) {
            *problem = QStringLiteral("its chain of pages is broken");
            return {};
        }
        passed.insert(pageRow);
        offset &= kOffsetMask;
        const auto* row = static_cast<const unsigned char*>(buf) + offset;
        pageRow = static_cast<int>(littleEndian<quint32>(row));
        out.append(reinterpret_cast<const char*>(row + 4), static_cast<qsizetype>(rowLength) - 4);
    }
    if (out.size() < static_cast<qsizetype>(length)) {
        *problem = QStringLiteral("it ends before its stated length");
        return {};
    }
    out.truncate(length);
    return out;
}

QString textOf(const Jet3Text* jet3, const char* bytes, qsizetype size) {
    return jet3 ? jet3->decode(bytes, size) : decodeJet4Text(bytes, size);
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

SourceValue damaged(const char* what) {
    return SourceValue::unreadable(
        QStringLiteral("the file's bytes for this %1 are damaged").arg(QLatin1String(what)));
}

// A Date/Time Extended value, from the text the row holds it as.
SourceValue extendedDate(const char* bytes, qsizetype size) {
    const auto ticks = parseExtendedDate(bytes, size);
    return ticks ? SourceValue::extendedDate(*ticks) : damaged("extended date");
}

// The stored result of a calculated field, of the result's type. A long text result is kept
// as a memo is, the others in the row; either way after a header of their own.
SourceValue decodeCalculated(MdbHandle* mdb, const MdbField& f, JetType type) {
    if (f.is_null)
        return {};
    if (f.start < 0 || f.siz < 0 || f.start + f.siz > mdb->fmt->pg_size)
        return damaged("calculated value");
    QByteArray stored(reinterpret_cast<const char*>(mdb->pg_buf + f.start), f.siz);
    if (type == JetType::Memo) {
        QString problem;
        stored = readLongValue(mdb, f.start, f.siz, &problem);
        if (!problem.isEmpty())
            return SourceValue::unreadable(
                QStringLiteral("the calculated value cannot be read: %1").arg(problem));
    }
    bool ok = false;
    const QByteArray r = calculatedResult(stored.constData(), stored.size(), &ok);
    const auto* p = reinterpret_cast<const unsigned char*>(r.constData());
    const qsizetype size = ok ? r.size() : -1;
    // A result of no bytes is what the file stores when the expression gives Null (a date
    // worked out from an empty date); only a text can be empty and still be a value.
    if (size == 0 && type != JetType::Text && type != JetType::Memo)
        return {};
    switch (type) {
        case JetType::YesNo:
            return size >= 1 ? SourceValue::yesNo(p[0] != 0) : damaged("calculated value");
        case JetType::Byte:
            return size >= 1 ? SourceValue::integer(p[0]) : damaged("calculated value");
        case JetType::Integer:
            return size >= 2 ? SourceValue::integer(littleEndian<qint16>(p))
                             : damaged("calculated value");
        case JetType::Long:
            return size >= 4 ? SourceValue::integer(littleEndian<qint32>(p))
                             : damaged("calculated value");
        case JetType::Currency:
            return size >= 8 ? SourceValue::currency(littleEndian<qint64>(p))
                             : damaged("calculated value");
        case JetType::Single:
            return size >= 4 ? SourceValue::single(std::bit_cast<float>(littleEndian<quint32>(p)))
                             : damaged("calculated value");
        case JetType::Double:
            return size >= 8 ? SourceValue::real(std::bit_cast<double>(littleEndian<quint64>(p)))
                             : damaged("calculated value");
        case JetType::DateTime:
            return size >= 8
                       ? SourceValue::dateTime(std::bit_cast<double>(littleEndian<quint64>(p)))
                       : damaged("calculated value");
        case JetType::Text:
        case JetType::Memo:
            return size >= 0 ? SourceValue::text(decodeJet4Text(r.constData(), r.size()))
                             : damaged("calculated value");
        case JetType::BigInt:
            return size >= 8 ? SourceValue::integer(littleEndian<qint64>(p))
                             : damaged("calculated value");
        case JetType::DateTimeExtended:
            return size >= 0 ? extendedDate(r.constData(), size) : damaged("calculated value");
        case JetType::Decimal: {
            const QString text = calculatedDecimalText(r);
            return text.isEmpty() ? damaged("calculated value") : SourceValue::decimal(text);
        }
        default:
            break;
    }
    return SourceValue::unreadable(
        QStringLiteral("a calculated field whose result's type cannot be read"));
}

SourceValue decode(MdbHandle* mdb, const Jet3Text* jet3, const MdbField& f, JetType type,
                   int scale) {
    if (type == JetType::YesNo)
        return SourceValue::yesNo(!f.is_null);  // kept in the null mask: set means Yes
    if (f.is_null)
        return {};
    const unsigned char* p = mdb->pg_buf + f.start;
    const int size = f.siz;
    if (f.start < 0 || size < 0 || f.start + size > mdb->fmt->pg_size)
        return damaged("value");
    switch (type) {
        case JetType::Byte:
            return size >= 1 ? SourceValue::integer(p[0]) : damaged("number");
        case JetType::Integer:
            return size >= 2 ? SourceValue::integer(littleEndian<qint16>(p)) : damaged("number");
        case JetType::Long:
            return size >= 4 ? SourceValue::integer(littleEndian<qint32>(p)) : damaged("number");
        case JetType::Currency:
            return size >= 8 ? SourceValue::currency(littleEndian<qint64>(p)) : damaged("amount");
        case JetType::Single:
            return size >= 4 ? SourceValue::single(std::bit_cast<float>(littleEndian<quint32>(p)))
                             : damaged("number");
        case JetType::Double:
            return size >= 8 ? SourceValue::real(std::bit_cast<double>(littleEndian<quint64>(p)))
                             : damaged("number");
        case JetType::DateTime:
            return size >= 8
                       ? SourceValue::dateTime(std::bit_cast<double>(littleEndian<quint64>(p)))
                       : damaged("date");
        case JetType::Decimal:
            return size >= 17 ? SourceValue::decimal(decimalText(p, scale)) : damaged("number");
        case JetType::BigInt:
            return size >= 8 ? SourceValue::integer(littleEndian<qint64>(p)) : damaged("number");
        case JetType::DateTimeExtended:
            return extendedDate(reinterpret_cast<const char*>(p), size);
        case JetType::Guid: {
            if (size < 16)
                return damaged("replication ID");
            char* text = mdb_uuid_to_string(mdb->pg_buf, f.start);
            const QString s = QString::fromLatin1(text);
            g_free(text);
            return SourceValue::text(s);
        }
        case JetType::Text:
            return SourceValue::text(textOf(jet3, reinterpret_cast<const char*>(p), size));
        case JetType::Binary:
            return SourceValue::binary(QByteArray(reinterpret_cast<const char*>(p), size));
        case JetType::Memo:
        case JetType::OleObject: {
            QString problem;
            const QByteArray bytes = readLongValue(mdb, f.start, size, &problem);
            if (!problem.isEmpty())
                return SourceValue::unreadable(QStringLiteral("the %1 cannot be read: %2")
                                                   .arg(type == JetType::Memo
                                                            ? QStringLiteral("memo")
                                                            : QStringLiteral("OLE object"),
                                                        problem));
            if (type == JetType::OleObject)
                return SourceValue::binary(bytes);
            return SourceValue::text(textOf(jet3, bytes.constData(), bytes.size()));
        }
        case JetType::YesNo:
        case JetType::Complex:
        case JetType::Unknown:
            break;
    }
    return SourceValue::unreadable(QStringLiteral("a column of a type that cannot be read"));
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
            throw LegacyError(QStringLiteral("The rows of table '%1' in %2 were read after "
                                             "another table was opened.")
                                  .arg(name_, file_));
        MdbHandle* mdb = handle_->mdb;
        MdbTableDef* t = table_.get();
        if (t->num_cols == 0 || finished_)
            return false;
        if (!started_) {
            // Without its map of pages mdbtools would read the table through a null pointer.
            if (!t->usage_map || t->map_sz < 1)
                throw LegacyError(QStringLiteral("The table '%1' in %2 is damaged: the list of "
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
                                : decode(mdb, handle_->jet3.get(), f, types_[c], scales_[c]);
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
        throw LegacyError(
            kDamagedJetFile,
            QStringLiteral("The Jet database %1 cannot be opened: its first page is damaged.")
                .arg(path));
    if (isJet3(handle->mdb)) {
        // The file does not say which code page its text is in: Windows-1252 unless
        // MDB_JET3_CHARSET names another (the reader process is given the user's choice).
        const QString codePage = qEnvironmentVariable("MDB_JET3_CHARSET", QStringLiteral("CP1252"));
        handle->jet3 = std::make_unique<Jet3Text>(codePage.toLatin1());
        if (!handle->jet3->valid())
            throw LegacyError(QStringLiteral("The Jet database %1 cannot be read: the code page "
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
        throw LegacyError(kDamagedJetFile,
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
        throw LegacyError(kDamagedJetFile,
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
            throw LegacyError(kDamagedJetFile,
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
    throw LegacyError(
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
