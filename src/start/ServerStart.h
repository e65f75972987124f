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

// The statement that starts each session, with its values: $1 the search path, $2 the
// workstation, $3 the program, $4 the data set's schema, $5 and $6 the engine's tables of
// stored queries and of names, $7 the program's date display.
const char* sessionStartSql();

}  // namespace velmora::start
