#include "JetQueryText.h"

#include "data/ConstantTable.h"

#include <QStringList>

namespace velmora::legacy {

namespace {

namespace attr {
constexpr int Parameter = 2;
constexpr int Options = 3;
constexpr int RemoteDatabase = 4;
constexpr int Table = 5;
constexpr int Column = 6;
constexpr int Join = 7;
constexpr int Where = 8;
constexpr int GroupBy = 9;
constexpr int Having = 10;
constexpr int OrderBy = 11;
}  // namespace attr

namespace option {
constexpr int SelectStar = 0x01;
constexpr int Distinct = 0x02;
constexpr int DistinctRow = 0x08;
constexpr int Top = 0x10;
constexpr int Percent = 0x20;
}  // namespace option

// The kinds of stored query that are not carried over, by the bits of the object's flags
// that tell them; 0 is a select query and 128 a union query.
struct KindName {
    int bits;
    const char* name;
};

constexpr int kSelectBits = 0;
constexpr int kUnionBits = 128;
constexpr std::array<KindName, 7> kOtherKinds = {{
    {16, "a crosstab query"},
    {32, "a delete query"},
    {48, "an update query"},
    {64, "an append query"},
    {80, "a make-table query"},
    {96, "a data-definition query"},
    {112, "a pass-through query"},
}};

// A parameter's type as Jet SQL names it in a PARAMETERS clause, by its code.
struct ParameterType {
    int code;
    const char* name;
};

constexpr std::array<ParameterType, 14> kParameterTypes = {{
    {1, "Bit"},
    {2, "Byte"},
    {3, "Short"},
    {4, "Long"},
    {5, "Currency"},
    {6, "IEEESingle"},
    {7, "IEEEDouble"},
    {8, "DateTime"},
    {9, "Binary"},
    {10, "Text"},
    {11, "LongBinary"},
    {12, "LongText"},
    {15, "Guid"},
    {16, "Decimal"},
}};

QString parameterType(int code) {
    const ParameterType* t = data::rowWhere(kParameterTypes, &ParameterType::code, code);
    return t ? QString::fromLatin1(t->name) : QStringLiteral("Value");
}

QString bracketed(const QString& name) {
    return u'[' + name + u']';
}

bool isBracketed(const QString& name) {
    return name.size() > 2 && name.startsWith(u'[') && name.endsWith(u']') &&
           name.count(u'[') == 1 && name.count(u']') == 1;
}

// A part of the FROM clause and the tables (by the name the query uses for them) it holds.
struct FromPart {
    QStringList names;  // case-folded
    QString text;
    bool isJoin = false;
};

int partHolding(const std::vector<FromPart>& parts, const QString& name) {
    const QString key = name.toCaseFolded();
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].names.contains(key))
            return static_cast<int>(i);
    }
    return -1;
}

// An ORDER BY term: "D" in the first name sorts it descending.
QString orderTerm(const QueryDefRow& r) {
    return r.name1.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0
               ? r.expression + QStringLiteral(" DESC")
               : r.expression;
}

QString trimmedStatement(QString sql) {
    sql = sql.trimmed();
    while (sql.endsWith(u';'))
        sql = sql.chopped(1).trimmed();
    return sql;
}

QString selectSql(const std::vector<QueryDefRow>& rows, int options, const QString& top,
                  QString* problem) {
    QStringList parameters, columns, where, groupBy, having, orderBy;
    std::vector<FromPart> from;
    std::vector<const QueryDefRow*> joins;
    for (const QueryDefRow& r : rows) {
        switch (r.attribute) {
            case attr::Parameter:
                // A name kept with its brackets ("[Start date]") is not bracketed again.
                parameters << (isBracketed(r.name1) ? r.name1 : bracketed(r.name1)) + u' ' +
                                  parameterType(r.flag);
                break;
            case attr::Table: {
                FromPart p;
                QString text;
                if (!r.expression.trimmed().isEmpty())
                    text = u'(' + trimmedStatement(r.expression) + u')';
                else
                    text = bracketed(r.name1);
                const QString usedAs = r.name2.isEmpty() ? r.name1 : r.name2;
                if (!r.name2.isEmpty())
                    text += QStringLiteral(" AS ") + bracketed(r.name2);
                p.names << usedAs.toCaseFolded();
                p.text = text;
                from.push_back(p);
                break;
            }
            case attr::Column:
                columns << (r.name1.isEmpty()
                                ? r.expression
                                : r.expression + QStringLiteral(" AS ") + bracketed(r.name1));
                break;
            case attr::Join:
                joins.push_back(&r);
                break;
            case attr::Where:
                where << r.expression;
                break;
            case attr::GroupBy:
                groupBy << r.expression;
                break;
            case attr::Having:
                having << r.expression;
                break;
            case attr::OrderBy:
                orderBy << orderTerm(r);
                break;
            default:
                break;
        }
    }
    for (const QueryDefRow* j : joins) {
        const int left = partHolding(from, j->name1);
        const int right = partHolding(from, j->name2);
        if (left < 0 || right < 0) {
            *problem = QStringLiteral("a join names a table the query does not list");
            return {};
        }
        if (left == right) {
            *problem = QStringLiteral("two joins between the same tables");
            return {};
        }
        QString how;
        switch (j->flag) {
            case 1:
                how = QStringLiteral(" INNER JOIN ");
                break;
            case 2:
                how = QStringLiteral(" LEFT JOIN ");
                break;
            case 3:
                how = QStringLiteral(" RIGHT JOIN ");
                break;
            default:
                *problem = QStringLiteral("a join of an unknown kind (%1)").arg(j->flag);
                return {};
        }
        auto wrapped = [](const FromPart& p) { return p.isJoin ? u'(' + p.text + u')' : p.text; };
        FromPart joined;
        joined.names =
            from[static_cast<size_t>(left)].names + from[static_cast<size_t>(right)].names;
        joined.text = wrapped(from[static_cast<size_t>(left)]) + how +
                      wrapped(from[static_cast<size_t>(right)]) + QStringLiteral(" ON ") +
                      j->expression;
        joined.isJoin = true;
        from[static_cast<size_t>(std::min(left, right))] = joined;
        from.erase(from.begin() + std::max(left, right));
    }
    // "Name.*" of a table whose name holds blanks or signs is kept without brackets: they
    // are put back for the table the query lists.
    for (QString& c : columns) {
        if (!c.endsWith(QLatin1String(".*")) || c.startsWith(u'['))
            continue;
        const QString table = c.chopped(2);
        if (partHolding(from, table) >= 0 && !table.contains(u']'))
            c = bracketed(table) + QStringLiteral(".*");
    }
    if (options & option::SelectStar)
        columns.prepend(QStringLiteral("*"));
    if (columns.isEmpty()) {
        *problem = QStringLiteral("the query selects no columns");
        return {};
    }
    QString sql;
    if (!parameters.isEmpty())
        sql = QStringLiteral("PARAMETERS ") + parameters.join(QStringLiteral(", ")) +
              QStringLiteral(";\n");
    sql += QStringLiteral("SELECT ");
    if (options & option::DistinctRow)
        sql += QStringLiteral("DISTINCTROW ");
    else if (options & option::Distinct)
        sql += QStringLiteral("DISTINCT ");
    if (options & (option::Top | option::Percent)) {
        sql += QStringLiteral("TOP ") + top + u' ';
        if (options & option::Percent)
            sql += QStringLiteral("PERCENT ");
    }
    sql += columns.join(QStringLiteral(", "));
    if (!from.empty()) {
        QStringList parts;
        for (const FromPart& p : from)
            parts << p.text;
        sql += QStringLiteral("\nFROM ") + parts.join(QStringLiteral(", "));
    }
    if (!where.isEmpty())
        sql += QStringLiteral("\nWHERE ") + where.join(QStringLiteral(" AND "));
    if (!groupBy.isEmpty())
        sql += QStringLiteral("\nGROUP BY ") + groupBy.join(QStringLiteral(", "));
    if (!having.isEmpty())
        sql += QStringLiteral("\nHAVING ") + having.join(QStringLiteral(" AND "));
    if (!orderBy.isEmpty())
        sql += QStringLiteral("\nORDER BY ") + orderBy.join(QStringLiteral(", "));
    return sql;
}

QString unionSql(const std::vector<QueryDefRow>& rows, int options, QString* problem) {
    QStringList parts, orderBy;
    for (const QueryDefRow& r : rows) {
        if (r.attribute == attr::Table && !r.expression.trimmed().isEmpty())
            parts << trimmedStatement(r.expression);
        else if (r.attribute == attr::OrderBy)
            orderBy << orderTerm(r);
    }
    if (parts.size() < 2) {
        *problem = QStringLiteral("a union query with fewer than two parts");
        return {};
    }
    // Without the flag the parts keep their duplicate rows.
    const QString glue = (options & option::Distinct) ? QStringLiteral("\nUNION\n")
                                                      : QStringLiteral("\nUNION ALL\n");
    QString sql = parts.join(glue);
    if (!orderBy.isEmpty())
        sql += QStringLiteral("\nORDER BY ") + orderBy.join(QStringLiteral(", "));
    return sql;
}

}  // namespace

QString jetQuerySql(const std::vector<QueryDefRow>& rows, int objectFlags, QString* problem) {
    // The object's flags carry the kind in their high bits: 0 select, 16 crosstab, 32
    // delete, 48 update, 64 append, 80 make-table, 96 data-definition, 112 pass-through,
    // 128 union.
    const int kindBits = objectFlags & 0xF0;
    int options = 0;
    QString top;
    for (const QueryDefRow& r : rows) {
        if (r.attribute == attr::Options) {
            options = r.flag;
            top = r.name1;
        } else if (r.attribute == attr::RemoteDatabase) {
            *problem = QStringLiteral("the query reads tables of another database file");
            return {};
        }
    }
    if (kindBits == kSelectBits)
        return selectSql(rows, options, top, problem);
    if (kindBits == kUnionBits)
        return unionSql(rows, options, problem);
    const KindName* k = data::rowWhere(kOtherKinds, &KindName::bits, kindBits);
    *problem =
        (k ? QString::fromLatin1(k->name) : QStringLiteral("a query of kind %1").arg(kindBits)) +
        QStringLiteral(", which is not carried over");
    return {};
}

}  // namespace velmora::legacy
