#include "AircraftStore.h"

#include "data/Database.h"

namespace velmora::aircraft {

bool deleteAircraft(data::Database& db, const data::Value& regNum,
                    const std::function<bool()>& deleteRow) {
    if (regNum.isNull() && !deleteRow)
        return false;
    data::Transaction tx(db);
    if (!regNum.isNull()) {
        db.execute(QStringLiteral("DELETE FROM Parts WHERE RegNum = ?1"), {regNum});
        db.execute(QStringLiteral("DELETE FROM Oil WHERE RegNum = ?1"), {regNum});
    }
    if (deleteRow) {
        if (!deleteRow())
            return false;  // the transaction rolls back
    } else if (db.execute(QStringLiteral("DELETE FROM Aircraft WHERE RegNum = ?1"), {regNum}) ==
               0) {
        return false;  // no such aircraft: its rows stay as they were
    }
    tx.commit();
    return true;
}

}  // namespace velmora::aircraft
