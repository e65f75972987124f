#pragma once

// What a program needs of a server before it has loaded its own libraries: the settings of
// its connections, where a location's server and data set are, and the statement that starts
// each session. None of it uses Qt, so that a launcher can use it before Qt is loaded.

#include <libpq-fe.h>

#include <string>
#include <string_view>

namespace velmora::start {

// libpq's keywords and values for a connection of the programs to a server URI, with a
// password when it is not empty; both lists end with a null. The URI is expanded in place
// of the first keyword, and what comes after adds to it.
struct ConnectionSettings {
    const char* keywords[4];
    const char* values[4];
};
ConnectionSettings connectionSettings(const char* uri, const char* password);

// Whether a location names a data set on a server (a postgresql:// or postgres:// URI).
bool isServerLocation(std::string_view location);
// A location's server URI: the location without blanks around it, up to its '#'.
std::string serverUriOf(std::string_view location);
// The schema of a location's data set (the name after its last '#', without ".mdb", in
// lower case), or `otherwise` when it names none. Empty for a name beyond ASCII, whose
// lower case only the program knows.
std::string schemaOf(std::string_view location, std::string_view otherwise);

// The engine's own tables of stored queries and of names, as the server names them.
inline constexpr char kStoredQueriesTable[] = "_storedqueries";
inline constexpr char kNamesTable[] = "_velmora_names";

// The statement that starts each session, with its values: $1 the search path, $2 the
// workstation, $3 the program, $4 the program's date display (these four set the session's
// settings, its first seven columns), $5 the data set's schema, $6 and $7 the engine's tables
// of stored queries and of names (kStoredQueriesTable, kNamesTable).
const char* sessionStartSql();
// The same settings alone, from the same $1 to $4: for a session whose start another
// statement read, under other settings.
const char* sessionSettingsSql();

}  // namespace velmora::start
