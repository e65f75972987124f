#include "CsvOutput.h"

#include <QStringList>

namespace velmora::tools {

using data::FieldType;
using data::Value;

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString q = text;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString plainValue(const Value& v, const FieldType& type) {
    if (v.isNull())
        return {};
    if (type.kind == FieldType::Kind::Date) {
        const QString s = v.toString();
        if (s.size() > 10 && s.endsWith(QLatin1String(" 00:00:00")))
            return s.left(10);
        return s;
    }
    if (v.type() == Value::Type::Real)
        return data::formatNumber(v.toDouble());
    return v.toString();
}

QString recordsetToCsv(const data::Recordset& rs) {
    QString out;
    QStringList header;
    for (int i = 0; i < rs.fieldCount(); ++i)
        header << csvField(rs.field(i).name);
    out += header.join(u',') + QStringLiteral("\r\n");
    for (const auto& row : rs.rows()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << csvField(plainValue(row.values[static_cast<size_t>(i)], rs.field(i).type));
        out += cells.join(u',') + QStringLiteral("\r\n");
    }
    return out;
}

}  // namespace velmora::tools
