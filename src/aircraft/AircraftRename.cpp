#include "AircraftRename.h"

#include "data/Database.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "data/TextKey.h"

namespace velmora::aircraft {

namespace {

using data::Value;
namespace err = data::err;

int aircraftRows(data::Database& db, const QString& regNum) {
    auto rs = db.openRecordset(QStringLiteral("SELECT Count(*) FROM Aircraft WHERE RegNum = ?1"),
                               {Value(regNum)});
    return rs->hasCurrent() ? rs->value(0).toInt() : 0;
}

// The tables beside Parts and Oil that name an aircraft by its registration, with the rows
// of them that do; each is carried along when the file has it.
struct LinkedTable {
    const char* name;
    const char* rowsOfAircraft;  // a condition on the rows, the registration as ?1
};
constexpr LinkedTable kLinkedTables[] = {
    {"PlannedUtilisation", "RegNum = ?1"},
    {"OilLimits", "Scope = 'Component' AND RegNum = ?1"},
};

}  // namespace

QString registrationText(const QString& typed) {
    return typed.trimmed().toUpper();
}

std::optional<QString> registeredAs(data::Database& mainDb, const QString& regNum) {
    auto rs = mainDb.openRecordset(
        QStringLiteral("SELECT RegNum FROM Aircraft WHERE RegNum = ?1 ORDER BY RegNum"),
        {Value(regNum)});
    if (!rs->hasCurrent())
        return std::nullopt;
    return rs->value(0).toString();
}

QString renameProblem(data::Database& mainDb, const QString& from, const QString& to) {
    if (to.isEmpty())
        return QStringLiteral("Type the new registration number.");
    if (to.size() > kRegistrationLength)
        return QStringLiteral("A registration number has at most %1 characters; %2 has %3.")
            .arg(kRegistrationLength)
            .arg(to)
            .arg(to.size());
    if (data::textKey(to) == data::textKey(from))
        return QStringLiteral("%1 is this aircraft's registration already.").arg(from);
    if (const auto other = registeredAs(mainDb, to))
        return QStringLiteral(
                   "An aircraft with the registration %1 exists already: two aircraft cannot "
                   "have the same registration.")
            .arg(*other);
    const int rows = aircraftRows(mainDb, from);
    if (rows == 0)
        return QStringLiteral("There is no aircraft %1 in the data file any more.").arg(from);
    if (rows > 1)
        return QStringLiteral(
                   "%1 aircraft records have the registration %2 (letter case or blanks at the "
                   "end aside), and its components belong to all of them: it cannot be "
                   "changed for one of them alone.")
            .arg(rows)
            .arg(from);
    return {};
}

RenameCount renameAircraft(data::Database& mainDb, const QString& from, const QString& to) {
    data::Transaction tx(mainDb);
    // Checked inside the transaction, so that what it found still holds when it writes.
    const QString problem = renameProblem(mainDb, from, to);
    if (!problem.isEmpty())
        throw data::DbError(to.isEmpty() ? err::NotNull : err::DuplicateKey, problem);
    const std::vector<Value> fromTo = {Value(from), Value(to)};
    RenameCount count;
    mainDb.execute(QStringLiteral("UPDATE Aircraft SET RegNum = ?2 WHERE RegNum = ?1"), fromTo);
    count.components =
        mainDb.execute(QStringLiteral("UPDATE Parts SET RegNum = ?2 WHERE RegNum = ?1"), fromTo);
    count.oilSamples =
        mainDb.execute(QStringLiteral("UPDATE Oil SET RegNum = ?2 WHERE RegNum = ?1"), fromTo);
    for (const LinkedTable& t : kLinkedTables) {
        const QString table = QString::fromLatin1(t.name);
        if (!mainDb.hasTable(table))
            continue;
        const QString where = QString::fromLatin1(t.rowsOfAircraft);
        // No aircraft has the new registration: what still names it belongs to none.
        mainDb.execute(QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, where), {Value(to)});
        mainDb.execute(QStringLiteral("UPDATE %1 SET RegNum = ?2 WHERE %2").arg(table, where),
                       fromTo);
    }
    tx.commit();
    return count;
}

}  // namespace velmora::aircraft
