#include "JetColumnDefinition.h"

#include <QtEndian>

#include <mdbtools.h>

#include <algorithm>

namespace velmora::legacy {

namespace {

// A definition longer than this many pages is taken for a loop in the page chain.
constexpr int kLongestDefinition = 64;
// Bytes 4 to 7 of a definition page name the page that continues it; its bytes follow 8.
constexpr int kNextPageAt = 4;
constexpr int kContinuationHeader = 8;
// In an ACE column entry: the byte after the flags holds the extended flags, of which the
// two highest mark a calculated field. Precision and scale sit at bytes 11 and 12.
constexpr int kExtendedFlagsAfterFlags = 1;
constexpr unsigned char kCalculatedMask = 0xC0;
constexpr int kPrecisionAt = 11;
constexpr int kScaleAt = 12;
// A calculated field's stored result: sixteen bytes, then its length, then its bytes.
constexpr int kResultLengthAt = 16;
constexpr int kResultAt = 20;
constexpr int kDecimalResult = 16;
// Type codes of ACE 16 and later that mdbtools has no name for.
constexpr int kBigIntCode = 0x13;
constexpr int kDateTimeExtendedCode = 0x14;

// The type of a calculated field's stored result: a value of one of the simple types.
JetType resultTypeOf(int code) {
    switch (const JetType type = jetTypeOfCode(code)) {
        case JetType::Binary:
        case JetType::OleObject:
        case JetType::Guid:
        case JetType::Complex:
            return JetType::Unknown;
        default:
            return type;
    }
}

// The definition's bytes: its first page whole, then what each page it continues on holds
// after its header.
QByteArray definitionBytes(MdbTableDef* table) {
    MdbHandle* mdb = table->entry->mdb;
    const int pageSize = mdb->fmt->pg_size;
    QByteArray out;
    unsigned long page = table->entry->table_pg;
    for (int n = 0; page != 0 && n < kLongestDefinition; ++n) {
        if (mdb_read_alt_pg(mdb, page) != pageSize)
            return {};
        const auto* bytes = reinterpret_cast<const char*>(mdb->alt_pg_buf);
        if (n == 0)
            out.append(bytes, pageSize);
        else
            out.append(bytes + kContinuationHeader, pageSize - kContinuationHeader);
        page = qFromLittleEndian<quint32>(mdb->alt_pg_buf + kNextPageAt);
    }
    return page == 0 ? out : QByteArray();
}

}  // namespace

JetType jetTypeOfCode(int code) {
    switch (code) {
        case MDB_BOOL:
            return JetType::YesNo;
        case MDB_BYTE:
            return JetType::Byte;
        case MDB_INT:
            return JetType::Integer;
        case MDB_LONGINT:
            return JetType::Long;
        case MDB_MONEY:
            return JetType::Currency;
        case MDB_FLOAT:
            return JetType::Single;
        case MDB_DOUBLE:
            return JetType::Double;
        case MDB_DATETIME:
            return JetType::DateTime;
        case MDB_BINARY:
            return JetType::Binary;
        case MDB_TEXT:
            return JetType::Text;
        case MDB_OLE:
            return JetType::OleObject;
        case MDB_MEMO:
            return JetType::Memo;
        case MDB_REPID:
            return JetType::Guid;
        case MDB_NUMERIC:
            return JetType::Decimal;
        case MDB_COMPLEX:
            return JetType::Complex;
        case kBigIntCode:
            return JetType::BigInt;
        case kDateTimeExtendedCode:
            return JetType::DateTimeExtended;
        default:
            break;
    }
    return JetType::Unknown;
}

std::map<int, ColumnDefinition> readColumnDefinitions(MdbTableDef* table) {
    std::map<int, ColumnDefinition> out;
    MdbHandle* mdb = table->entry->mdb;
    if (mdb->f->jet_version == MDB_VER_JET3)
        return out;
    const bool ace = mdb->f->jet_version >= MDB_VER_ACCDB_2007;
    const QByteArray bytes = definitionBytes(table);
    const MdbFormatConstants* fmt = mdb->fmt;
    const qsizetype first = fmt->tab_cols_start_offset +
                            static_cast<qsizetype>(table->num_real_idxs) * fmt->tab_ridx_entry_size;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (unsigned i = 0; i < table->num_cols; ++i) {
        const qsizetype at = first + static_cast<qsizetype>(i) * fmt->tab_col_entry_size;
        if (bytes.isEmpty() || at + fmt->tab_col_entry_size > bytes.size())
            break;
        const unsigned char* entry = p + at;
        ColumnDefinition d;
        d.precision = entry[kPrecisionAt];
        d.scale = entry[kScaleAt];
        d.calculated =
            ace && (entry[fmt->col_flags_offset + kExtendedFlagsAfterFlags] & kCalculatedMask);
        out[qFromLittleEndian<quint16>(entry + fmt->col_num_offset)] = d;
    }
    // The result's type and the expression are properties of the column.
    for (unsigned i = 0; i < table->num_cols && table->columns; ++i) {
        const auto* col = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
        const auto it = out.find(col->col_num);
        if (it == out.end() || !it->second.calculated)
            continue;
        if (const char* type = mdb_col_get_prop(col, "ResultType"))
            it->second.resultType = resultTypeOf(QByteArray(type).toInt());
        if (const char* expression = mdb_col_get_prop(col, "Expression"))
            it->second.expression = QString::fromUtf8(expression);
    }
    return out;
}

QByteArray calculatedResult(const char* bytes, qsizetype size, bool* ok) {
    *ok = size >= kResultAt;
    if (!*ok)
        return {};
    const auto length = qFromLittleEndian<quint32>(bytes + kResultLengthAt);
    const qsizetype available = size - kResultAt;
    return QByteArray(bytes + kResultAt,
                      std::min<qsizetype>(static_cast<qsizetype>(length), available));
}

QString scaledDecimalText(bool negative, const quint32 (&magnitude)[4], int scale) {
    quint32 words[4] = {magnitude[0], magnitude[1], magnitude[2], magnitude[3]};
    QString digits;
    bool zero = false;
    while (!zero) {
        quint64 remainder = 0;
        zero = true;
        for (quint32& word : words) {
            const quint64 current = (remainder << 32) | word;
            word = static_cast<quint32>(current / 10);
            remainder = current % 10;
            if (word != 0)
                zero = false;
        }
        digits.prepend(QChar(u'0' + static_cast<char16_t>(remainder)));
    }
    scale = std::clamp(scale, 0, 28);
    while (digits.size() <= scale)
        digits.prepend(u'0');
    if (scale > 0)
        digits.insert(digits.size() - scale, u'.');
    const bool isZero =
        std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c == u'0' || c == u'.'; });
    return negative && !isZero ? u'-' + digits : digits;
}

QString calculatedDecimalText(const QByteArray& bytes) {
    if (bytes.size() < kDecimalResult)
        return {};
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const quint32 high = qFromLittleEndian<quint32>(p + 4);
    const quint32 low = qFromLittleEndian<quint32>(p + 8);
    const quint32 middle = qFromLittleEndian<quint32>(p + 12);
    const quint32 words[4] = {0, high, middle, low};
    return scaledDecimalText((p[3] & 0x80) != 0, words, p[2]);
}

}  // namespace velmora::legacy
