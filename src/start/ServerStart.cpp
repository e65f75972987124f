#include "ServerStart.h"

#include <algorithm>
#include <cctype>

namespace velmora::start {

ConnectionSettings connectionSettings(const char* uri, const char* password) {
    // The client encoding is set by the connection's start, with no statement of its own.
    const bool withPassword = password && *password;
    return {{"dbname", "client_encoding", withPassword ? "password" : nullptr, nullptr},
            {uri, "UTF8", withPassword ? password : nullptr, nullptr}};
}

namespace {

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), s.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

}  // namespace

bool isServerLocation(std::string_view location) {
    const std::string_view s = trimmed(location);
    return startsWithNoCase(s, "postgresql://") || startsWithNoCase(s, "postgres://");
}

std::string serverUriOf(std::string_view location) {
    std::string_view s = trimmed(location);
    if (const size_t hash = s.find('#'); hash != std::string_view::npos)
        s = s.substr(0, hash);
    return std::string(s);
}

std::string schemaOf(std::string_view location, std::string_view otherwise) {
    const size_t hash = location.rfind('#');
    std::string_view name =
        hash == std::string_view::npos ? otherwise : trimmed(location.substr(hash + 1));
    if (name.size() > 4 && startsWithNoCase(name.substr(name.size() - 4), ".mdb"))
        name.remove_suffix(4);
    std::string schema;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return {};
        schema += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return schema;
}

// The session's settings, set by set_config() with $1 to $4. In the statement that starts a
// session they come first in the select list and are evaluated before its reads.
#define VELMORA_SESSION_SETTINGS                                                               \
    "set_config('search_path', $1, false), set_config('DateStyle', 'ISO, MDY', false), "       \
    "set_config('velmora.host', $2, false), set_config('velmora.program', $3, false), "        \
    "set_config('velmora.screen', '', false), set_config('velmora.date_display', $4, false), " \
    "set_config('velmora.migration', '', false)"

const char* sessionStartSql() {
    // The reads name every object with its schema, so they do not depend on the search path.
    // A new session has none of the catalog in its caches yet, and every catalog table it
    // plans a read of costs it time before its first statement: the schema is found by its
    // name through to_regnamespace(), and the schema's tables are read in one pass over
    // pg_class that answers every question about them at once, and names them all: a
    // statement that reads a table then needs no round trip to learn that it is one.
    // velmora_jet is the engine's schema, journal_aircraft_time the journal's index of each
    // aircraft's lines by time. Whether the tables of the aircraft and of the components have
    // the columns a journal needs is left to the making of a journal: a read of pg_attribute
    // here would cost every session's start another catalog's first look, about 1.5 ms.
    return "SELECT " VELMORA_SESSION_SETTINGS
           ", n IS NOT NULL, "
           "(SELECT d.description FROM pg_catalog.pg_description d WHERE d.objoid = "
           "to_regnamespace('velmora_jet') AND d.classoid = 'pg_catalog.pg_namespace'::regclass "
           "AND d.objsubid = 0), "
           "(SELECT d.description FROM pg_catalog.pg_description d WHERE d.objoid = "
           "to_regprocedure('velmora_jet.journal_seal()') AND d.classoid = "
           "'pg_catalog.pg_proc'::regclass AND d.objsubid = 0), "
           "coalesce(t.has_journal, false), has_schema_privilege(n, 'USAGE'), "
           "has_schema_privilege(n, 'CREATE') OR coalesce(t.may_write, false), "
           "coalesce(t.has_queries, false), coalesce(t.has_names, false), "
           "coalesce(t.has_aircraft AND t.has_parts, false), "
           "coalesce(t.owns_journal AND NOT t.has_index, false), coalesce(t.tables, '[]') "
           "FROM pg_catalog.to_regnamespace(pg_catalog.quote_ident($5)) AS n "
           "LEFT JOIN LATERAL (SELECT "
           "bool_or(c.relname = 'journal' AND c.relkind IN ('r', 'p')) AS has_journal, "
           "bool_or(c.relkind IN ('r', 'p') AND has_table_privilege(c.oid, "
           "'INSERT,UPDATE,DELETE')) AS may_write, "
           "bool_or(c.relname = $6 AND c.relkind IN ('r', 'p')) AS has_queries, "
           "bool_or(c.relname = $7 AND c.relkind IN ('r', 'p')) AS has_names, "
           "bool_or(c.relname = 'aircraft' AND c.relkind IN ('r', 'p')) AS has_aircraft, "
           "bool_or(c.relname = 'parts' AND c.relkind IN ('r', 'p')) AS has_parts, "
           "bool_or(c.relname = 'journal' AND c.relkind IN ('r', 'p') AND "
           "pg_catalog.pg_has_role(c.relowner, 'USAGE')) AS owns_journal, "
           "bool_or(c.relname = 'journal_aircraft_time' AND c.relkind = 'i') AS has_index, "
           "json_agg(c.relname) FILTER (WHERE c.relkind IN ('r', 'v', 'p')) AS tables "
           "FROM pg_catalog.pg_class c WHERE c.relnamespace = n) AS t ON true";
}

const char* sessionSettingsSql() {
    return "SELECT " VELMORA_SESSION_SETTINGS;
}

#undef VELMORA_SESSION_SETTINGS

}  // namespace velmora::start
