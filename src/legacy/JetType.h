#pragma once

#include <QString>

namespace velmora::legacy {

// The column types of a Jet / ACE database file, as its table definitions name them.
enum class JetType {
    YesNo,             // Boolean, kept in the row's null mask
    Byte,              // 0 to 255
    Integer,           // 16-bit signed
    Long,              // 32-bit signed (also AutoNumber)
    Currency,          // 64-bit signed integer scaled by 10,000
    Single,            // 32-bit float
    Double,            // 64-bit float
    DateTime,          // OLE date: days since 1899-12-30, time of day as the fraction
    Binary,            // fixed or short binary
    Text,              // up to 255 characters
    OleObject,         // long binary (pictures, documents)
    Memo,              // long text
    Guid,              // replication ID
    Decimal,           // 128-bit scaled integer with a sign byte
    BigInt,            // Large Number: 64-bit signed
    DateTimeExtended,  // date and time to 100 ns from the year 1, kept as text
    Complex,           // ACE attachments and multi-valued fields (kept in hidden tables)
    Unknown,
};

// The type's name as Access shows it ("Long Integer", "Date/Time", ...).
QString jetTypeName(JetType type);

}  // namespace velmora::legacy
