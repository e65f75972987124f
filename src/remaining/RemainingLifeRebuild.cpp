#include "RemainingLifeRebuild.h"

#include "data/DataFiles.h"

namespace velmora::remaining {

using data::DbError;

RebuildResult rebuildRemainingLife(const QString& dataPath, const QString& regNum,
                                   MeterView view) {
    RebuildResult out;
    auto step = [&](auto&& fn) {
        try {
            fn();
        } catch (const DbError& e) {
            out.failures << QStringLiteral("%1: %2").arg(e.number()).arg(e.text());
        }
    };
    step([&] { out.database = data::Database::open(data::dataFileName(dataPath, data::files::kMain)); });
    const QString sql = remainingLifeSql(regNum, view);
    auto need = [&] {
        if (!out.database)
            throw DbError(data::err::FileNotFound,
                          QStringLiteral("The main data file could not be opened."));
        return out.database;
    };
    step([&] {
        auto db = need();
        try {
            db->createQueryDef(kWorkingQueryName, sql);
        } catch (const DbError& e) {
            if (e.number() != data::err::ObjectExists)
                throw;
            db->deleteQueryDef(kWorkingQueryName);
            db->createQueryDef(kWorkingQueryName, sql);
        }
    });
    step([&] { out.rows = need()->openRecordset(kWorkingQueryName); });
    step([&] { need()->deleteQueryDef(kWorkingQueryName); });
    return out;
}

}  // namespace velmora::remaining
