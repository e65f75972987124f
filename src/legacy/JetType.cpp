#include "JetType.h"

namespace velmora::legacy {

QString jetTypeName(JetType type) {
    switch (type) {
        case JetType::YesNo:
            return QStringLiteral("Yes/No");
        case JetType::Byte:
            return QStringLiteral("Byte");
        case JetType::Integer:
            return QStringLiteral("Integer");
        case JetType::Long:
            return QStringLiteral("Long Integer");
        case JetType::Currency:
            return QStringLiteral("Currency");
        case JetType::Single:
            return QStringLiteral("Single");
        case JetType::Double:
            return QStringLiteral("Double");
        case JetType::DateTime:
            return QStringLiteral("Date/Time");
        case JetType::Binary:
            return QStringLiteral("Binary");
        case JetType::Text:
            return QStringLiteral("Text");
        case JetType::OleObject:
            return QStringLiteral("OLE Object");
        case JetType::Memo:
            return QStringLiteral("Memo");
        case JetType::Guid:
            return QStringLiteral("Replication ID");
        case JetType::Decimal:
            return QStringLiteral("Decimal");
        case JetType::BigInt:
            return QStringLiteral("Large Number");
        case JetType::DateTimeExtended:
            return QStringLiteral("Date/Time Extended");
        case JetType::Complex:
            return QStringLiteral("Attachment or multi-valued field");
        case JetType::Unknown:
            break;
    }
    return QStringLiteral("unknown type");
}

}  // namespace velmora::legacy
