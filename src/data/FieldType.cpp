#include "FieldType.h"

#include "ConstantTable.h"

#include <QHash>
#include <QRegularExpression>

namespace velmora::data {

namespace {

FieldType integer(std::int64_t lo, std::int64_t hi) {
    FieldType t;
    t.kind = FieldType::Kind::Integer;
    t.minValue = lo;
    t.maxValue = hi;
    return t;
}

// What a value of each kind is called in messages; Variant, last, for any other.
struct KindName {
    FieldType::Kind kind;
    const char* name;
};

constexpr std::array<KindName, 7> kKindNames = {{
    {FieldType::Kind::Text, "text"},
    {FieldType::Kind::Integer, "a whole number"},
    {FieldType::Kind::Real, "a number"},
    {FieldType::Kind::Currency, "an amount of money"},
    {FieldType::Kind::YesNo, "Yes or No"},
    {FieldType::Kind::Date, "a date"},
    {FieldType::Kind::Variant, "a value"},
}};

FieldType ofKind(FieldType::Kind k, int size = 0) {
    FieldType t;
    t.kind = k;
    t.size = size;
    return t;
}

}  // namespace

bool FieldType::fromJetName(const QString& name, int size, FieldType* out, QString* declared) {
    const QString n = name.toUpper();
    if (n == u"TEXT" || n == u"VARCHAR" || n == u"CHAR" || n == u"STRING" || n == u"ALPHANUMERIC" ||
        n == u"NVARCHAR" || n == u"CHARACTER") {
        const int s = size > 0 ? size : 255;
        *out = ofKind(Kind::Text, s);
        *declared = QStringLiteral("TEXT(%1)").arg(s);
    } else if (n == u"MEMO" || n == u"LONGTEXT" || n == u"NOTE" || n == u"LONGCHAR") {
        *out = ofKind(Kind::Text);
        // Declared so that SQLite gives the column text affinity: under "MEMO" it would
        // take "0123" or "1e3" for numbers and store them as such.
        *declared = QStringLiteral("LONGTEXT");
    } else if (n == u"INTEGER" || n == u"LONG" || n == u"INT" || n == u"INTEGER4" ||
               n == u"COUNTER" || n == u"AUTOINCREMENT") {
        *out = integer(INT32_MIN, INT32_MAX);
        *declared = QStringLiteral("INTEGER");
    } else if (n == u"BIGINT" || n == u"INTEGER8") {
        // Large Number: every 64-bit whole number, kept exactly on both back ends.
        *out = integer(INT64_MIN, INT64_MAX);
        *declared = QStringLiteral("BIGINT");
    } else if (n == u"SHORT" || n == u"SMALLINT" || n == u"INTEGER2") {
        *out = integer(INT16_MIN, INT16_MAX);
        *declared = QStringLiteral("SHORT");
    } else if (n == u"BYTE" || n == u"TINYINT" || n == u"INTEGER1") {
        *out = integer(0, 255);
        *declared = QStringLiteral("BYTE");
    } else if (n == u"SINGLE" || n == u"REAL" || n == u"FLOAT4" || n == u"IEEESINGLE") {
        *out = ofKind(Kind::Real);
        *declared = QStringLiteral("SINGLE");
    } else if (n == u"DOUBLE" || n == u"FLOAT" || n == u"FLOAT8" || n == u"NUMBER" ||
               n == u"NUMERIC" || n == u"IEEEDOUBLE" || n == u"DECIMAL") {
        *out = ofKind(Kind::Real);
        *declared = QStringLiteral("DOUBLE");
    } else if (n == u"CURRENCY" || n == u"MONEY") {
        *out = ofKind(Kind::Currency);
        *declared = QStringLiteral("CURRENCY");
    } else if (n == u"BIT" || n == u"YESNO" || n == u"LOGICAL" || n == u"LOGICAL1" ||
               n == u"BOOLEAN") {
        *out = ofKind(Kind::YesNo);
        *declared = QStringLiteral("YESNO");
    } else if (n == u"DATETIME" || n == u"DATE" || n == u"TIME" || n == u"TIMESTAMP") {
        *out = ofKind(Kind::Date);
        *declared = QStringLiteral("DATETIME");
    } else if (n == u"LONGBINARY" || n == u"BINARY" || n == u"VARBINARY" || n == u"OLEOBJECT" ||
               n == u"IMAGE" || n == u"GENERAL") {
        // Bytes kept as they are (pictures, documents): stored as given, never converted.
        *out = ofKind(Kind::Variant);
        *declared = QStringLiteral("BLOB");
    } else {
        return false;
    }
    return true;
}

FieldType FieldType::fromDeclared(const QString& declared) {
    // Every record set reads its columns' declared types; there are only a handful.
    thread_local QHash<QString, FieldType> known;
    if (auto it = known.constFind(declared); it != known.constEnd())
        return *it;
    const FieldType t = parseDeclared(declared);
    known.insert(declared, t);
    return t;
}

FieldType FieldType::parseDeclared(const QString& declared) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*([A-Za-z0-9_]+)\s*(?:\(\s*(\d+)\s*\))?)"));
    const auto m = re.match(declared);
    if (!m.hasMatch())
        return {};
    FieldType t;
    QString decl;
    if (!fromJetName(m.captured(1), m.captured(2).toInt(), &t, &decl))
        return {};
    if (m.captured(1).compare(QLatin1String("TEXT"), Qt::CaseInsensitive) == 0 &&
        m.captured(2).isEmpty())
        t.size = 0;  // a TEXT column made by another tool: no limit known
    return t;
}

QString FieldType::kindName() const {
    return QString::fromLatin1(rowFor(kKindNames, &KindName::kind, kind).name);
}

}  // namespace velmora::data
