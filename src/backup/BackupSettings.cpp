#include "BackupSettings.h"

#include "data/Database.h"
#include "data/Recordset.h"

namespace velmora::backup {

namespace {
const QString kTable = QStringLiteral("BackupSettings");
const QString kColumn = QStringLiteral("DailyCopiesKept");
}  // namespace

int dailyBackupsKept(const QString& settingsFile) {
    try {
        auto db = data::Database::open(settingsFile);
        if (!db->hasTable(kTable))
            return kDefaultDailyBackups;
        auto rs = db->openRecordset(kTable);
        if (rs->eof())
            return kDefaultDailyBackups;
        const data::Value v = rs->value(kColumn);
        if (!v.isNumber() || v.toInt() < 1 || v.toInt() > kMostDailyBackups)
            return kDefaultDailyBackups;
        return static_cast<int>(v.toInt());
    } catch (const data::DbError&) {
        return kDefaultDailyBackups;
    }
}

void setDailyBackupsKept(const QString& settingsFile, int count) {
    if (count < 1 || count > kMostDailyBackups)
        throw data::DbError(data::err::NumericOverflow,
                            QStringLiteral("The number of daily backups kept must be from 1 to "
                                           "%1.")
                                .arg(kMostDailyBackups));
    auto db = data::Database::open(settingsFile);
    data::Transaction tx(*db);
    if (!db->hasTable(kTable))
        db->execute(QStringLiteral("CREATE TABLE BackupSettings (DailyCopiesKept LONG)"));
    db->execute(QStringLiteral("DELETE FROM BackupSettings"), {});
    db->execute(QStringLiteral("INSERT INTO BackupSettings (DailyCopiesKept) VALUES (?1)"),
                {data::Value(count)});
    tx.commit();
}

}  // namespace velmora::backup
