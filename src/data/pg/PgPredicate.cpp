#include "PgPredicate.h"

#include "PgValues.h"
#include "data/JetSqlTranslator.h"

#include <QSet>

namespace velmora::data::pg {

PgPredicate::PgPredicate(std::shared_ptr<Database> owner, Rows rows, QString expr,
                         QStringList columns, QString criterion)
    : owner_(std::move(owner)),
      rows_(std::move(rows)),
      expr_(std::move(expr)),
      columns_(std::move(columns)),
      criterion_(std::move(criterion)),
      seen_(static_cast<size_t>(columns_.size()), Value::Type::Text) {}

bool PgPredicate::matches(const std::vector<Value>& row) {
    QStringList cols;
    std::vector<Value> args;
    QSet<QString> named;
    for (int i = 0; i < columns_.size() && i < static_cast<int>(row.size()); ++i) {
        const Value& v = row[static_cast<size_t>(i)];
        if (!v.isNull())
            seen_[static_cast<size_t>(i)] = v.type();
        const QString type = serverTypeName(seen_[static_cast<size_t>(i)]);
        auto add = [&](const QString& alias) {
            if (named.contains(alias.toLower()))
                return;
            named.insert(alias.toLower());
            args.push_back(v);
            cols << QStringLiteral("$%1::%2 AS %3").arg(args.size()).arg(type, postgresName(alias));
        };
        const QString& n = columns_[i];
        add(n);
        const qsizetype dot = n.lastIndexOf(u'.');
        if (dot > 0)
            add(n.mid(dot + 1));
    }
    if (cols.isEmpty())
        cols << QStringLiteral("NULL AS __none");
    const QString sql =
        QStringLiteral("SELECT CASE WHEN (%1) THEN 1 ELSE 0 END FROM (SELECT %2) AS row_")
            .arg(expr_, cols.join(u", "));
    try {
        const auto r = rows_(sql, args);
        return !r.empty() && r.front()[0].toInt() == 1;
    } catch (const DbError& e) {
        if (e.number() == err::TooFewParameters)
            throw DbError(err::CriteriaSyntax,
                          QStringLiteral("The criterion \"%1\" names a column the rows "
                                         "searched do not have: %2")
                              .arg(criterion_, e.text()));
        throw;
    }
}

}  // namespace velmora::data::pg
