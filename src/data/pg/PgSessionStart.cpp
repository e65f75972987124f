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

namespace {

// The facts of a row of `columns` columns, each read as a boolean or as text (empty for a
// Null) by position: the one place that knows which column holds what.
template <typename Boolean, typename Text>
SessionFacts factsOf(size_t columns, Boolean boolean, Text text) {
    SessionFacts f;
    if (columns < 18)
        return f;
    f.schemaExists = boolean(7);
    f.functionsRevision = text(8);
    f.journalRevision = text(9);
    f.hasJournal = boolean(10);
    f.mayUse = boolean(11);
    f.mayChange = boolean(12);
    f.hasQueryTable = boolean(13);
    f.hasNamesTable = boolean(14);
    f.mayKeepJournal = boolean(15);
    f.journalLacksIndex = boolean(16);
    for (const QJsonValue& name : QJsonDocument::fromJson(text(17).toUtf8()).array())
        f.tables << name.toString();
    return f;
}

}  // namespace

SessionFacts readSessionFacts(const std::vector<std::vector<Value>>& rows) {
    if (rows.empty())
        return {};
    const std::vector<Value>& r = rows.front();
    return factsOf(
        r.size(), [&](size_t c) { return r[c].toBool(); },
        [&](size_t c) { return r[c].toString(); });
}

SessionFacts readSessionFacts(const start::SessionStartRow& row) {
    // As libpq gives a row in text: a boolean is "t" or "f".
    return factsOf(
        row.size(), [&](size_t c) { return row[c] && *row[c] == "t"; },
        [&](size_t c) { return row[c] ? QString::fromStdString(*row[c]) : QString(); });
}

}  // namespace velmora::data::pg
