#include "SqlCommand.h"

#include "CsvOutput.h"
#include "data/JetSqlTranslator.h"

namespace velmora::tools {

int runSqlCommand(const QString& file, const QString& sql, QString* out, QString* err) {
    try {
        auto db = data::Database::open(file);
        const QString s = sql.trimmed();
        const bool select = !data::looksLikeSqlStatement(s) ||
                            s.startsWith(QLatin1String("select"), Qt::CaseInsensitive);
        if (select) {
            auto rs = db->openRecordset(s);
            *out = recordsetToCsv(*rs);
        } else {
            data::Transaction tx(*db);
            const int n = db->execute(s);
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
