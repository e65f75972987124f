#include "SqliteAuthorizer.h"

#include "JetFunctionCatalog.h"

#include <sqlite3.h>

#include <cstring>

namespace velmora::data {

namespace {

struct Refusal {
    sqlite3* db = nullptr;
    RefusedCall call;
};
thread_local std::optional<Refusal> refused;

// SQLite's functions a trigger or view of a data file may call.
bool isPlainSqliteFunction(const char* name) {
    static const char* const kAllowed[] = {
        "abs",       "avg",      "coalesce", "count",        "date",        "datetime",
        "glob",      "ifnull",   "instr",    "json_extract", "json_object", "json_patch",
        "julianday", "length",   "like",     "likelihood",   "likely",      "lower",
        "ltrim",     "max",      "min",      "nullif",       "replace",     "round",
        "rtrim",     "strftime", "substr",   "substring",    "sum",         "time",
        "total",     "trim",     "typeof",   "unlikely",     "upper",       "iif"};
    for (const char* allowed : kAllowed) {
        if (sqlite3_stricmp(name, allowed) == 0)
            return true;
    }
    return false;
}

// The engine's functions, under their Jet names, as "jet_" + name, and behind the operators.
bool isEngineFunction(const char* name) {
    const char* bare = sqlite3_strnicmp(name, "jet_", 4) == 0 ? name + 4 : name;
    if (findJetFunction(QString::fromLatin1(bare)))
        return true;
    return sqlite3_strnicmp(name, "jet_", 4) == 0;  // the operators: jet_add, jet_cat, ...
}

int authorize(void* db, int action, const char*, const char* function, const char*,
              const char* triggerOrView) {
    return authorizeSchemaFunction(static_cast<sqlite3*>(db), action, function, triggerOrView);
}

}  // namespace

int authorizeSchemaFunction(sqlite3* db, int action, const char* function,
                            const char* triggerOrView) {
    if (action != SQLITE_FUNCTION || !triggerOrView || !function)
        return SQLITE_OK;
    if (isEngineFunction(function) || isPlainSqliteFunction(function))
        return SQLITE_OK;
    refused = Refusal{db, {QString::fromUtf8(function), QString::fromUtf8(triggerOrView)}};
    return SQLITE_DENY;
}

int restrictSchemaFunctions(sqlite3* db) {
    return sqlite3_set_authorizer(db, authorize, db);
}

std::optional<RefusedCall> takeRefusedCall(sqlite3* db) {
    if (!refused || refused->db != db)
        return std::nullopt;
    const RefusedCall call = refused->call;
    refused.reset();
    return call;
}

}  // namespace velmora::data
