#include "RawRemainingLife.h"

#include "data/SqliteFunctions.h"

#include <QStringList>

#include <sqlite3.h>

namespace velmora::bench {

namespace {

// Flight time, landings, cycles or RIN left: life - time at install - (total - at install).
QString left(const char* total) {
    return QStringLiteral("LifeNumber - InstallTimeLeft - (%1 - InstallACHour)")
        .arg(QLatin1String(total));
}

QString onBasis(const char* basis, int meter, const char* total, const char* name) {
    const QString meterTest =
        meter ? QStringLiteral(" AND MeterNumber = %1").arg(meter) : QString();
    return QStringLiteral("CASE WHEN LifeBasis = '%1'%2 THEN %3 END AS %4")
        .arg(QLatin1String(basis), meterTest, left(total), QLatin1String(name));
}

data::Value rawValue(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER:
            return data::Value(static_cast<std::int64_t>(sqlite3_column_int64(st, i)));
        case SQLITE_FLOAT:
            return data::Value(sqlite3_column_double(st, i));
        case SQLITE_NULL:
            return {};
        default:
            return data::Value(
                std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                            static_cast<size_t>(sqlite3_column_bytes(st, i))));
    }
}

}  // namespace

QByteArray rawRemainingLifeSql() {
    // The due date as "MM/DD/YYYY", cut to "MM/DD/YY" below.
    const QString due = QStringLiteral(
        "strftime('%m/%d/%Y', InstallDate, '+' || CAST(round(LifeNumber) AS INTEGER) || "
        "' months')");
    const QStringList computed = {
        onBasis("RT", 1, "TotalTime", "TTtoRET"),
        onBasis("RT", 2, "TotalTime2", "TTtoRET2"),
        onBasis("LD", 0, "TotalLandings", "LNDtoRET"),
        QStringLiteral("CASE WHEN LifeBasis = 'CY' THEN %1 ELSE 0 END AS CYCtoRET")
            .arg(left("TotalCycles")),
        onBasis("RN", 0, "TotalRIN", "RINtoRET"),
        onBasis("OH", 1, "TotalTime", "TTtoOH"),
        onBasis("IN", 1, "TotalTime", "TTtoIN"),
        QStringLiteral("CASE WHEN LifeBasis = 'MO' THEN substr(%1, 1, 6) || substr(%1, 9, 2) "
                       "ELSE ' ' END AS MTHStoRT")
            .arg(due),
        onBasis("OH", 2, "TotalTime2", "TTtoOH2"),
        onBasis("IN", 2, "TotalTime2", "TTtoIN2"),
    };
    return (QStringLiteral("SELECT Aircraft.*, Parts.*, ") + computed.join(QStringLiteral(", ")) +
            QStringLiteral(" FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = Parts.RegNum "
                           "WHERE Parts.Active = -1 AND Parts.RegNum = ?1 ORDER BY ItemNumber"))
        .toUtf8();
}

RawConnection::RawConnection(const QString& file) {
    // Without SQLite's connection mutex, as the engine opens its files: one thread uses it.
    const int rc = sqlite3_open_v2(file.toUtf8().constData(), &db_,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        error_ = QStringLiteral("cannot open %1: %2")
                     .arg(file, QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)));
        sqlite3_close_v2(db_);
        db_ = nullptr;
        return;
    }
    // The text columns compare as Jet compares text, under the engine's collation.
    data::registerJetCollation(db_);
}

RawConnection::~RawConnection() {
    sqlite3_close_v2(db_);
}

QString compareWithRecordset(sqlite3* db, const QString& regNum, data::Recordset& rs) {
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = rawRemainingLifeSql();
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &st, nullptr) !=
        SQLITE_OK)
        return QStringLiteral("the raw query does not prepare: %1")
            .arg(QString::fromUtf8(sqlite3_errmsg(db)));
    const QByteArray reg = regNum.toUtf8();
    sqlite3_bind_text(st, 1, reg.constData(), static_cast<int>(reg.size()), SQLITE_TRANSIENT);
    QString difference;
    const int columns = sqlite3_column_count(st);
    if (columns != rs.fieldCount())
        difference = QStringLiteral("the raw query gives %1 columns, the engine %2")
                         .arg(columns)
                         .arg(rs.fieldCount());
    int row = 0;
    while (difference.isEmpty() && sqlite3_step(st) == SQLITE_ROW) {
        if (row >= rs.recordCount()) {
            difference = QStringLiteral("the raw query gives more rows than the engine (%1)")
                             .arg(rs.recordCount());
            break;
        }
        rs.setAbsolutePosition(row);
        for (int i = 0; i < columns && difference.isEmpty(); ++i) {
            const data::Value raw = rawValue(st, i);
            const data::Value engine = rs.value(i);
            if (!(raw == engine))
                difference = QStringLiteral("row %1, column %2 (%3): raw '%4', engine '%5'")
                                 .arg(row + 1)
                                 .arg(i + 1)
                                 .arg(rs.field(i).name, raw.toString(), engine.toString());
        }
        ++row;
    }
    if (difference.isEmpty() && row != rs.recordCount())
        difference = QStringLiteral("the raw query gives %1 rows, the engine %2")
                         .arg(row)
                         .arg(rs.recordCount());
    sqlite3_finalize(st);
    return difference;
}

}  // namespace velmora::bench
