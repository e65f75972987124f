#include "RemainingLifeRebuild.h"

#include "data/DataFiles.h"

#include <optional>

namespace velmora::remaining {

using data::DbError;

RebuildResult rebuildRemainingLife(const QString& dataPath, const QString& regNum, MeterView view) {
    RebuildResult out;
    auto step = [&](auto&& fn) {
        try {
            fn();
        } catch (const DbError& e) {
            out.failures << QStringLiteral("%1: %2").arg(e.code()).arg(e.text());
        }
    };
    step([&] {
        out.database = data::Database::open(data::dataFileName(dataPath, data::files::kMain));
    });
    const QString sql = remainingLifeSql(regNum, view);
    auto need = [&] {
        if (!out.database)
            throw DbError(data::err::FileNotFound,
                          QStringLiteral("The main data file could not be opened."));
        return out.database;
    };
    // The working query lives only while the rows are read: it is stored, opened and
    // deleted inside one transaction that is then rolled back, so the file itself never
    // changes and no write has to reach the disk.
    std::optional<data::ScratchTransaction> working;
    bool stored = false;
    step([&] { working.emplace(*need()); });
    step([&] {
        auto db = need();
        try {
            db->createQueryDef(kWorkingQueryName, sql);
            stored = true;
        } catch (const DbError& e) {
            if (e.number() != data::err::ObjectExists || !db->hasQueryDef(kWorkingQueryName))
                throw;
            // A working query left by an interrupted run is removed for good, outside the
            // work that is undone.
            working.reset();
            db->deleteQueryDef(kWorkingQueryName);
            working.emplace(*db);
            db->createQueryDef(kWorkingQueryName, sql);
            stored = true;
        }
    });
    if (stored) {
        step([&] { out.rows = need()->openRecordset(kWorkingQueryName); });
        step([&] { need()->deleteQueryDef(kWorkingQueryName); });
    }
    working.reset();
    // A file that cannot keep even a working query (read-only, or a table of its name)
    // still shows its rows.
    if (!out.rows && out.database) {
        step([&] { out.rows = out.database->openRecordset(sql); });
    }
    return out;
}

}  // namespace velmora::remaining
