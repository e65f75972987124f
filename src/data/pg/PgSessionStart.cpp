#include "PgSessionStart.h"

#include "PgJournal.h"
#include "data/DateDisplay.h"
#include "data/JetSqlTranslator.h"
#include "start/ServerStart.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <string_view>

namespace velmora::data::pg {

// The statement names the engine's schema and the journal's index as they are named here.
static_assert(std::string_view(kPgJetSchema) == "velmora_jet");
static_assert(std::string_view(kJournalAircraftTimeIndex) == "journal_aircraft_time");

QString sessionStartSql() {
    return QString::fromUtf8(start::sessionStartSql());
}

std::vector<Value> sessionStartArgs(const QString& searchPath, const QString& host,
                                    const QString& program, const QString& schema,
                                    const QString& queryTable, const QString& namesTable) {
    std::vector<Value> args = sessionSettingsArgs(searchPath, host, program);
    args.insert(args.end(), {Value(schema), Value(queryTable), Value(namesTable)});
    return args;
}

QString sessionSettingsSql() {
    return QString::fromUtf8(start::sessionSettingsSql());
}

std::vector<Value> sessionSettingsArgs(const QString& searchPath, const QString& host,
                                       const QString& program) {
    return {Value(searchPath), Value(host), Value(program),
            // Format's "Short Date" and "General Date" on the server show dates as the
            // program does.
            Value(displayDatePicture())};
}

SessionFacts readSessionFacts(const std::vector<std::vector<Value>>& rows) {
    SessionFacts f;
    if (rows.empty() || rows.front().size() < 18)
        return f;
    const std::vector<Value>& r = rows.front();
    f.schemaExists = r[7].toBool();
    f.functionsRevision = r[8].toString();
    f.journalRevision = r[9].toString();
    f.hasJournal = r[10].toBool();
    f.mayUse = r[11].toBool();
    f.mayChange = r[12].toBool();
    f.hasQueryTable = r[13].toBool();
    f.hasNamesTable = r[14].toBool();
    f.mayKeepJournal = r[15].toBool();
    f.journalLacksIndex = r[16].toBool();
    for (const QJsonValue& name : QJsonDocument::fromJson(r[17].toString().toUtf8()).array())
        f.tables << name.toString();
    return f;
}

SessionFacts readSessionFacts(const start::SessionStartRow& row) {
    // The row's columns are the statement's: its settings, a boolean, two texts, eight
    // booleans and the tables' names in JSON.
    std::vector<Value> values;
    for (size_t c = 0; c < row.size(); ++c) {
        if (!row[c])
            values.emplace_back();
        else if (c == 7 || (c >= 10 && c <= 16))
            values.emplace_back(*row[c] == "t");
        else
            values.emplace_back(*row[c]);
    }
    return readSessionFacts(std::vector<std::vector<Value>>{values});
}

}  // namespace velmora::data::pg
