#include "RowReading.h"

#include <sqlite3.h>

namespace velmora::bench {

RowTally readRecordset(data::Recordset& rs) {
    RowTally t;
    t.columns = rs.fieldCount();
    if (rs.recordCount() == 0)
        return t;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        for (int i = 0; i < t.columns; ++i) {
            const data::Value& v = rs.at(i);
            switch (v.type()) {
                case data::Value::Type::Integer:
                    t.checksum += static_cast<double>(v.toInt());
                    break;
                case data::Value::Type::Real:
                    t.checksum += v.toDouble();
                    break;
                case data::Value::Type::Text:
                    t.checksum += static_cast<double>(v.utf8().size());
                    break;
                case data::Value::Type::Null:
                    break;
            }
        }
        ++t.rows;
    }
    return t;
}

bool readStatement(sqlite3_stmt* st, RowTally* t) {
    t->columns = sqlite3_column_count(st);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < t->columns; ++i) {
            switch (sqlite3_column_type(st, i)) {
                case SQLITE_INTEGER:
                    t->checksum += static_cast<double>(sqlite3_column_int64(st, i));
                    break;
                case SQLITE_FLOAT:
                    t->checksum += sqlite3_column_double(st, i);
                    break;
                case SQLITE_TEXT:
                case SQLITE_BLOB:
                    sqlite3_column_text(st, i);
                    t->checksum += sqlite3_column_bytes(st, i);
                    break;
                default:
                    break;
            }
        }
        ++t->rows;
    }
    return rc == SQLITE_DONE;
}

QString tallyStatement(sqlite3* db, const QByteArray& sql, const QByteArray* bound,
                       RowTally* tally) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &st, nullptr) !=
        SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    if (bound)
        sqlite3_bind_text(st, 1, bound->constData(), static_cast<int>(bound->size()),
                          SQLITE_STATIC);
    *tally = RowTally{};
    const bool ok = readStatement(st, tally);
    sqlite3_finalize(st);
    return ok ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
}

}  // namespace velmora::bench
