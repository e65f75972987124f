#include "MdbValues.h"

#include "ExtendedDate.h"
#include "Jet3Text.h"
#include "JetColumnDefinition.h"
#include "JetText.h"

#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <optional>

namespace velmora::legacy {

namespace {

// A memo or OLE value longer than this is taken for damage, not read.
constexpr quint32 kLongestValue = 256u * 1024 * 1024;
// Bytes before a long value's data in the row: its length and flags, where it lives.
constexpr int kLongValueHeader = 12;
constexpr int kOffsetMask = 0x1fff;

template <typename T>
T littleEndian(const unsigned char* p) {
    return qFromLittleEndian<T>(p);
}

// Whether a field's bytes, as the row's offsets give them, lie on the page read. Written so
// that no sum can overflow, whatever numbers a damaged file holds.
bool withinPage(const MdbHandle* mdb, int start, int size) {
    const int pageSize = static_cast<int>(mdb->fmt->pg_size);
    return start >= 0 && size >= 0 && start <= pageSize && size <= pageSize - start;
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

SourceValue damaged(const char* what) {
    return SourceValue::unreadable(
        QStringLiteral("the file's bytes for this %1 are damaged").arg(QLatin1String(what)));
}

// A Date/Time Extended value, from the text the row holds it as.
SourceValue extendedDate(const char* bytes, qsizetype size) {
    const auto ticks = parseExtendedDate(bytes, size);
    return ticks ? SourceValue::extendedDate(*ticks) : damaged("extended date");
}

// A value of a type kept in a fixed number of bytes; nothing for other types. One cut short
// is damaged: what names it in the note, or (null) the type's own word.
std::optional<SourceValue> fixedSizeValue(JetType type, const unsigned char* p, qsizetype size,
                                          const char* what) {
    auto need = [&](qsizetype bytes, const char* word, auto value) -> SourceValue {
        return size >= bytes ? value() : damaged(what ? what : word);
    };
    switch (type) {
        case JetType::Byte:
            return need(1, "number", [&] { return SourceValue::integer(p[0]); });
        case JetType::Integer:
            return need(2, "number", [&] { return SourceValue::integer(littleEndian<qint16>(p)); });
        case JetType::Long:
            return need(4, "number", [&] { return SourceValue::integer(littleEndian<qint32>(p)); });
        case JetType::BigInt:
            return need(8, "number", [&] { return SourceValue::integer(littleEndian<qint64>(p)); });
        case JetType::Currency:
            return need(8, "amount",
                        [&] { return SourceValue::currency(littleEndian<qint64>(p)); });
        case JetType::Single:
            return need(4, "number", [&] {
                return SourceValue::single(std::bit_cast<float>(littleEndian<quint32>(p)));
            });
        case JetType::Double:
            return need(8, "number", [&] {
                return SourceValue::real(std::bit_cast<double>(littleEndian<quint64>(p)));
            });
        case JetType::DateTime:
            return need(8, "date", [&] {
                return SourceValue::dateTime(std::bit_cast<double>(littleEndian<quint64>(p)));
            });
        default:
            break;
    }
    return std::nullopt;
}

}  // namespace

// The stored result of a calculated field, of the result's type. A long text result is kept
// as a memo is, the others in the row; either way after a header of their own.
SourceValue decodeCalculated(MdbHandle* mdb, const MdbField& f, JetType type) {
    if (f.is_null)
        return {};
    if (!withinPage(mdb, f.start, f.siz))
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
    if (auto v = fixedSizeValue(type, p, size, "calculated value"))
        return *v;
    switch (type) {
        case JetType::YesNo:
            return size >= 1 ? SourceValue::yesNo(p[0] != 0) : damaged("calculated value");
        case JetType::Text:
        case JetType::Memo:
            return size >= 0 ? SourceValue::text(decodeJet4Text(r.constData(), r.size()))
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

SourceValue decodeField(MdbHandle* mdb, const Jet3Text* jet3, const MdbField& f, JetType type,
                        int scale) {
    if (type == JetType::YesNo)
        return SourceValue::yesNo(!f.is_null);  // kept in the null mask: set means Yes
    if (f.is_null)
        return {};
    const int size = f.siz;
    if (!withinPage(mdb, f.start, size))
        return damaged("value");
    // Only now a pointer: a start the file puts beyond the page points nowhere at all.
    const unsigned char* p = mdb->pg_buf + f.start;
    if (auto v = fixedSizeValue(type, p, size, nullptr))
        return *v;
    switch (type) {
        case JetType::Decimal:
            return size >= 17 ? SourceValue::decimal(decimalText(p, scale)) : damaged("number");
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
        default:  // Yes/No above; the fixed-size types above; Complex and Unknown
            break;
    }
    return SourceValue::unreadable(QStringLiteral("a column of a type that cannot be read"));
}

}  // namespace velmora::legacy
