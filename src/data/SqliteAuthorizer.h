#pragma once

// What the triggers and views of a data file may call. Internal to the engine.

#include <QString>

#include <optional>

struct sqlite3;

namespace velmora::data {

// Lets the triggers and views of a file call only functions without side effects that
// allocate no more than their arguments: the engine's own, and SQLite's plain text, number,
// date and JSON functions (those of the engine's own triggers among them). Any other call
// from a trigger or view is refused when a statement that would run it is prepared.
// Statements themselves are the translator's to check. Returns an SQLite result code.
int restrictSchemaFunctions(sqlite3* db);
// The same rule for an authorizer of its own (a connection has one): SQLITE_DENY for a call
// a trigger or view of the connection's file may not make, SQLITE_OK for anything else.
int authorizeSchemaFunction(sqlite3* db, int action, const char* function,
                            const char* triggerOrView);

// The call refused last on this thread while a statement of the connection was prepared,
// if any (it is forgotten as it is taken): the function and the trigger or view making it.
struct RefusedCall {
    QString function;
    QString schemaObject;
};
std::optional<RefusedCall> takeRefusedCall(sqlite3* db);

}  // namespace velmora::data
