#include "TargetTables.h"

#include "data/JetSqlTranslator.h"

#include <QStringList>

namespace velmora::legacy {

using data::quoteJetName;

QString keptColumnType(const SourceColumn& c, QString* why) {
    if (c.calculated && c.type == JetType::Unknown) {
        *why = QStringLiteral(
                   "a calculated field (%1) whose stored result is of a type that "
                   "cannot be read")
                   .arg(c.expression);
        return {};
    }
    switch (c.type) {
        case JetType::YesNo:
            return QStringLiteral("YESNO");
        case JetType::Byte:
            return QStringLiteral("BYTE");
        case JetType::Integer:
            return QStringLiteral("SHORT");
        case JetType::Long:
            return QStringLiteral("LONG");
        case JetType::Currency:
            return QStringLiteral("CURRENCY");
        case JetType::Single:
            return QStringLiteral("SINGLE");
        case JetType::Double:
        case JetType::Decimal:
            return QStringLiteral("DOUBLE");
        case JetType::DateTime:
        case JetType::DateTimeExtended:
            return QStringLiteral("DATETIME");
        case JetType::BigInt:
            return QStringLiteral("BIGINT");
        case JetType::Text:
            return QStringLiteral("TEXT(%1)").arg(c.length > 0 ? c.length : 255);
        case JetType::Memo:
            return QStringLiteral("MEMO");
        case JetType::Guid:
            return QStringLiteral("TEXT(38)");  // {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}
        case JetType::Binary:
        case JetType::OleObject:
            return QStringLiteral("LONGBINARY");
        case JetType::Complex:
            *why = QStringLiteral(
                "an attachment or multi-valued field: its values are kept in "
                "hidden tables that cannot be read");
            return {};
        case JetType::Unknown:
            break;
    }
    *why = QStringLiteral("a column of a type that cannot be read");
    return {};
}

bool holdsBytes(const SourceColumn& c) {
    return c.type == JetType::Binary || c.type == JetType::OleObject;
}

void createKeptTable(data::Database& db, const QString& table,
                     const std::vector<SourceColumn>& columns) {
    QStringList defs;
    for (const SourceColumn& c : columns) {
        QString why;
        defs << quoteJetName(c.name) + u' ' + keptColumnType(c, &why);
    }
    db.execute(QStringLiteral("CREATE TABLE ") + quoteJetName(table) + QStringLiteral(" (") +
               defs.join(QStringLiteral(", ")) + u')');
}

data::Field addKeptColumn(data::Database& db, const QString& table, const SourceColumn& column) {
    // The engine's dialect has no ALTER TABLE of its own: the column's definition, with its
    // letter-case rule and checks, is taken from the table the engine would create with it,
    // and added with SQLite's ALTER TABLE.
    QString why;
    const QString type = keptColumnType(column, &why);
    const QString statement = QStringLiteral("CREATE TABLE ") + quoteJetName(table) +
                              QStringLiteral(" (") + quoteJetName(column.name) + u' ' + type + u')';
    const data::JetTranslation t = data::translateJetStatement(statement);
    const QString head =
        QStringLiteral("CREATE TABLE ") + data::quoteSqliteName(table) + QStringLiteral(" (");
    if (!t.sql.startsWith(head) || !t.sql.endsWith(u')'))
        throw data::DbError(
            data::err::Internal,
            QStringLiteral("Column '%1' cannot be added to table '%2'.").arg(column.name, table));
    const QString definition = t.sql.mid(head.size(), t.sql.size() - head.size() - 1);
    db.executeBound(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                        .arg(data::quoteSqliteName(table), definition),
                    {});
    for (const QString& followUp : t.followUps)
        db.executeBound(followUp, {});
    data::Field field;
    field.name = column.name;
    field.table = table;
    field.column = column.name;
    field.type = data::FieldType::fromDeclared(type);
    return field;
}

std::vector<data::Field> columnsOf(data::Database& db, const QString& table) {
    auto rs = db.openRecordset(QStringLiteral("SELECT * FROM ") + quoteJetName(table) +
                               QStringLiteral(" WHERE 1 = 0"));
    std::vector<data::Field> out;
    for (int i = 0; i < rs->fieldCount(); ++i)
        out.push_back(rs->field(i));
    return out;
}

}  // namespace velmora::legacy
