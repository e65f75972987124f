#include "JetType.h"

#include "data/ConstantTable.h"

namespace velmora::legacy {

namespace {

constexpr std::array<data::Named<JetType>, 18> kTypeNames = {{
    {JetType::YesNo, "Yes/No"},
    {JetType::Byte, "Byte"},
    {JetType::Integer, "Integer"},
    {JetType::Long, "Long Integer"},
    {JetType::Currency, "Currency"},
    {JetType::Single, "Single"},
    {JetType::Double, "Double"},
    {JetType::DateTime, "Date/Time"},
    {JetType::Binary, "Binary"},
    {JetType::Text, "Text"},
    {JetType::OleObject, "OLE Object"},
    {JetType::Memo, "Memo"},
    {JetType::Guid, "Replication ID"},
    {JetType::Decimal, "Decimal"},
    {JetType::BigInt, "Large Number"},
    {JetType::DateTimeExtended, "Date/Time Extended"},
    {JetType::Complex, "Attachment or multi-valued field"},
    {JetType::Unknown, "unknown type"},
}};

}  // namespace

QString jetTypeName(JetType type) {
    return QString::fromLatin1(data::rowFor(kTypeNames, &data::Named<JetType>::key, type).name);
}

}  // namespace velmora::legacy
