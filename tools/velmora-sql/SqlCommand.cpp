#include "SqlCommand.h"

#include "CsvOutput.h"
#include "data/JetSqlTranslator.h"

#include <cstdio>

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

int writeCommandOutput(const QString& out, const QString& err, int status) {
    const QByteArray o = out.toUtf8(), e = err.toUtf8();
    const bool written = std::fwrite(o.constData(), 1, static_cast<size_t>(o.size()), stdout) ==
                             static_cast<size_t>(o.size()) &&
                         std::fflush(stdout) == 0;
    std::fwrite(e.constData(), 1, static_cast<size_t>(e.size()), stderr);
    if (!written) {
        std::fputs("velmora-sql: the output could not be written in full.\n", stderr);
        return 1;
    }
    return status;
}

}  // namespace velmora::tools
