#include "SqlCommand.h"

#include "CsvOutput.h"
#include "data/JetSqlTranslator.h"
#include "data/QueryParameters.h"

#include <algorithm>

namespace velmora::tools {

namespace {

// The text that declares the parameters: the statement, or the stored query it names.
QString declaringText(data::Database& db, const QString& source) {
    if (data::looksLikeSqlStatement(source))
        return source;
    QString name = source;
    if (name.size() >= 2 && name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    return db.hasQueryDef(name) ? db.queryDefSql(name) : QString();
}

// The values of the declared parameters in the order of the declaration; false with the
// message in *err when one has no value or a value names no parameter.
bool parameterValues(const std::vector<data::QueryParameter>& declared,
                     const QList<ParameterText>& given, std::vector<data::Value>* values,
                     QString* err) {
    for (const ParameterText& g : given) {
        const bool known = std::any_of(declared.begin(), declared.end(), [&](const auto& p) {
            return p.name.compare(g.first, Qt::CaseInsensitive) == 0;
        });
        if (!known) {
            *err = QStringLiteral("velmora-sql: the statement declares no parameter '%1'\n")
                       .arg(g.first);
            return false;
        }
    }
    for (const data::QueryParameter& p : declared) {
        const auto it = std::find_if(given.begin(), given.end(), [&](const ParameterText& g) {
            return g.first.compare(p.name, Qt::CaseInsensitive) == 0;
        });
        if (it == given.end()) {
            *err = QStringLiteral(
                       "velmora-sql: the parameter '%1' (%2) has no value: give it "
                       "with --param \"%1=VALUE\"\n")
                       .arg(p.name, p.type);
            return false;
        }
        values->push_back(data::parameterValue(p, it->second));
    }
    return true;
}

}  // namespace

int runSqlCommand(const QString& file, const QString& sql, const QList<ParameterText>& parameters,
                  QString* out, QString* err) {
    try {
        auto db = data::Database::open(file);
        const QString s = sql.trimmed();
        std::vector<data::Value> values;
        if (!parameterValues(data::declaredParameters(declaringText(*db, s)), parameters, &values,
                             err))
            return 2;
        const bool select =
            !data::looksLikeSqlStatement(s) || data::translateJetStatement(s).isSelect;
        if (select) {
            auto rs = db->openRecordset(s, values);
            *out = recordsetToCsv(*rs);
        } else {
            data::Transaction tx(*db);
            const int n = db->execute(s, values);
            tx.commit();
            *out = QString::number(n) + u'\n';
        }
        return 0;
    } catch (const data::DbError& e) {
        *err = QStringLiteral("velmora-sql: error %1: %2\n").arg(e.code()).arg(e.text());
        return 1;
    }
}

}  // namespace velmora::tools
