#include "ReaderWire.h"

#include <bit>
#include <cstring>

namespace velmora::legacy::wire {

namespace {

constexpr auto kLastValueKind = static_cast<std::uint8_t>(SourceValue::Kind::Unreadable);
constexpr auto kLastJetType = static_cast<std::uint8_t>(JetType::Unknown);

template <typename T>
void put(QByteArray& data, T v) {
    data.append(reinterpret_cast<const char*>(&v), sizeof v);
}

}  // namespace

// --- Writer ---------------------------------------------------------------------------------

// The frame's length comes first: four bytes filled in by frame().
constexpr qsizetype kLengthBytes = 4;

Writer::Writer(Kind kind) {
    data_.reserve(64);
    restart(kind);
}

void Writer::restart(Kind kind) {
    data_.resize(0);
    put(data_, std::uint32_t{0});
    put(data_, static_cast<std::uint8_t>(kind));
}

void Writer::u8(std::uint8_t v) {
    put(data_, v);
}

void Writer::u32(std::uint32_t v) {
    put(data_, v);
}

void Writer::i32(std::int32_t v) {
    put(data_, v);
}

void Writer::i64(std::int64_t v) {
    put(data_, v);
}

void Writer::text(const QString& s) {
    const auto n = static_cast<std::uint32_t>(s.size() * 2);
    u32(n);
    data_.append(reinterpret_cast<const char*>(s.constData()), n);
}

void Writer::bytes(const QByteArray& b) {
    u32(static_cast<std::uint32_t>(b.size()));
    data_.append(b);
}

void Writer::value(const SourceValue& v) {
    using K = SourceValue::Kind;
    u8(static_cast<std::uint8_t>(v.kind()));
    switch (v.kind()) {
        case K::Null:
            break;
        case K::YesNo:
            u8(v.isYes() ? 1 : 0);
            break;
        case K::Integer:
        case K::Currency:
        case K::DateTimeExtended:
            i64(v.integerValue());
            break;
        case K::Single:
            u32(std::bit_cast<std::uint32_t>(v.singleValue()));
            break;
        case K::Double:
        case K::DateTime:
            i64(std::bit_cast<std::int64_t>(v.doubleValue()));
            break;
        case K::Decimal:
        case K::Text:
        case K::Unreadable:
            text(v.text());
            break;
        case K::Binary:
            bytes(v.bytes());
            break;
    }
}

namespace {

template <typename T>
void putAt(QByteArray& data, qsizetype at, T v) {
    if (at >= kLengthBytes && at + static_cast<qsizetype>(sizeof v) <= data.size())
        std::memcpy(data.data() + at, &v, sizeof v);
}

}  // namespace

void Writer::putU8At(qsizetype at, std::uint8_t v) {
    putAt(data_, at, v);
}

void Writer::putU32At(qsizetype at, std::uint32_t v) {
    putAt(data_, at, v);
}

void Writer::putI64At(qsizetype at, std::int64_t v) {
    putAt(data_, at, v);
}

const QByteArray& Writer::frame() {
    const auto length = static_cast<std::uint32_t>(data_.size() - kLengthBytes);
    std::memcpy(data_.data(), &length, sizeof length);
    return data_;
}

// --- Reader ---------------------------------------------------------------------------------

Reader::Reader(const QByteArray& content) : data_(content) {
    if (data_.isEmpty())
        garbled_ = true;
    else
        kind_ = static_cast<Kind>(static_cast<std::uint8_t>(data_[0]));
}

const char* Reader::take(qsizetype n) {
    if (garbled_ || n < 0 || n > data_.size() - at_) {
        garbled_ = true;
        return nullptr;
    }
    const char* p = data_.constData() + at_;
    at_ += n;
    return p;
}

namespace {

template <typename T>
T readAs(const char* p) {
    T v{};
    if (p)
        std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

std::uint8_t Reader::u8() {
    return readAs<std::uint8_t>(take(1));
}

std::uint32_t Reader::u32() {
    return readAs<std::uint32_t>(take(4));
}

std::int32_t Reader::i32() {
    return readAs<std::int32_t>(take(4));
}

std::int64_t Reader::i64() {
    return readAs<std::int64_t>(take(8));
}

QString Reader::text() {
    const std::uint32_t n = u32();
    if (n % 2 != 0) {
        garbled_ = true;
        return {};
    }
    const char* p = take(static_cast<qsizetype>(n));
    if (!p)
        return {};
    QString s(static_cast<qsizetype>(n / 2), Qt::Uninitialized);
    std::memcpy(s.data(), p, n);
    return s;
}

QByteArray Reader::bytes() {
    const std::uint32_t n = u32();
    const char* p = take(static_cast<qsizetype>(n));
    return p ? QByteArray(p, static_cast<qsizetype>(n)) : QByteArray();
}

SourceValue Reader::value() {
    using K = SourceValue::Kind;
    const std::uint8_t kind = u8();
    if (kind > kLastValueKind) {
        garbled_ = true;
        return {};
    }
    switch (static_cast<K>(kind)) {
        case K::Null:
            return {};
        case K::YesNo: {
            const std::uint8_t yes = u8();
            if (yes > 1)
                garbled_ = true;
            return SourceValue::yesNo(yes != 0);
        }
        case K::Integer:
            return SourceValue::integer(i64());
        case K::Currency:
            return SourceValue::currency(i64());
        case K::DateTimeExtended:
            return SourceValue::extendedDate(i64());
        case K::Single:
            return SourceValue::single(std::bit_cast<float>(u32()));
        case K::Double:
            return SourceValue::real(std::bit_cast<double>(i64()));
        case K::DateTime:
            return SourceValue::dateTime(std::bit_cast<double>(i64()));
        case K::Decimal:
            return SourceValue::decimal(text());
        case K::Text:
            return SourceValue::text(text());
        case K::Unreadable:
            return SourceValue::unreadable(text());
        case K::Binary:
            return SourceValue::binary(bytes());
    }
    return {};
}

std::uint32_t Reader::count(qsizetype minimumItemSize) {
    const std::uint32_t n = u32();
    if (garbled_ || static_cast<qsizetype>(n) > (data_.size() - at_) / minimumItemSize) {
        garbled_ = true;
        return 0;
    }
    return n;
}

// --- Contents ---------------------------------------------------------------------------------

void writeTables(Writer& w, const std::vector<SourceTable>& tables) {
    w.u32(static_cast<std::uint32_t>(tables.size()));
    for (const SourceTable& t : tables) {
        w.text(t.name);
        w.i64(t.rowCount);
        w.u32(static_cast<std::uint32_t>(t.columns.size()));
        for (const SourceColumn& c : t.columns) {
            w.text(c.name);
            w.u8(static_cast<std::uint8_t>(c.type));
            w.i32(c.length);
            w.i32(c.precision);
            w.i32(c.scale);
            w.u8(c.autoNumber ? 1 : 0);
            w.u8(c.calculated ? 1 : 0);
            w.text(c.expression);
        }
    }
}

void writeQueries(Writer& w, const std::vector<SourceQuery>& queries) {
    w.u32(static_cast<std::uint32_t>(queries.size()));
    for (const SourceQuery& q : queries) {
        w.text(q.name);
        w.text(q.sql);
        w.text(q.problem);
    }
}

void writeObjects(Writer& w, const std::vector<SourceObject>& objects) {
    w.u32(static_cast<std::uint32_t>(objects.size()));
    for (const SourceObject& o : objects) {
        w.text(o.name);
        w.text(o.reason);
    }
}

void writeRow(Writer& w, const std::vector<SourceValue>& row) {
    w.u32(static_cast<std::uint32_t>(row.size()));
    for (const SourceValue& v : row)
        w.value(v);
}

std::vector<SourceTable> readTables(Reader& r) {
    std::vector<SourceTable> out;
    // The smallest table: an empty name, its row count and no columns.
    const std::uint32_t n = r.count(16);
    for (std::uint32_t i = 0; i < n && !r.garbled(); ++i) {
        SourceTable t;
        t.name = r.text();
        t.rowCount = r.i64();
        if (t.rowCount < 0)
            r.markGarbled();
        const std::uint32_t columns = r.count(23);
        for (std::uint32_t c = 0; c < columns && !r.garbled(); ++c) {
            SourceColumn col;
            col.name = r.text();
            const std::uint8_t type = r.u8();
            col.type = type <= kLastJetType ? static_cast<JetType>(type) : JetType::Unknown;
            col.length = r.i32();
            col.precision = r.i32();
            col.scale = r.i32();
            col.autoNumber = r.u8() != 0;
            col.calculated = r.u8() != 0;
            col.expression = r.text();
            if (type > kLastJetType)
                r.markGarbled();
            t.columns.push_back(std::move(col));
        }
        out.push_back(std::move(t));
    }
    return out;
}

std::vector<SourceQuery> readQueries(Reader& r) {
    std::vector<SourceQuery> out;
    const std::uint32_t n = r.count(12);
    for (std::uint32_t i = 0; i < n && !r.garbled(); ++i) {
        SourceQuery q;
        q.name = r.text();
        q.sql = r.text();
        q.problem = r.text();
        out.push_back(std::move(q));
    }
    return out;
}

std::vector<SourceObject> readObjects(Reader& r) {
    std::vector<SourceObject> out;
    const std::uint32_t n = r.count(8);
    for (std::uint32_t i = 0; i < n && !r.garbled(); ++i) {
        SourceObject o;
        o.name = r.text();
        o.reason = r.text();
        out.push_back(std::move(o));
    }
    return out;
}

std::vector<SourceValue> readRow(Reader& r) {
    std::vector<SourceValue> row;
    const std::uint32_t n = r.count(1);
    row.reserve(n);
    for (std::uint32_t i = 0; i < n && !r.garbled(); ++i)
        row.push_back(r.value());
    return row;
}

std::uint32_t frameLength(const char* lengthBytes) {
    return readAs<std::uint32_t>(lengthBytes);
}

}  // namespace velmora::legacy::wire
