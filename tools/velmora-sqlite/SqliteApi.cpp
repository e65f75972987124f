// The SQLite functions the engine's collation and functions call, for the extension: each
// goes through the table of routines the loading program hands over, never to a libsqlite3
// of its own. A program with SQLite built in (or another build of it) thus runs the
// extension's calls on its own SQLite, the one that owns the connection.
#define SQLITE_CORE 1
#include <sqlite3ext.h>

extern const sqlite3_api_routines* sqlite3_api;

extern "C" {

int sqlite3_create_collation_v2(sqlite3* db, const char* name, int encoding, void* arg,
                                int (*compare)(void*, int, const void*, int, const void*),
                                void (*destroy)(void*)) {
    return sqlite3_api->create_collation_v2(db, name, encoding, arg, compare, destroy);
}

int sqlite3_create_function_v2(sqlite3* db, const char* name, int argc, int flags, void* app,
                               void (*call)(sqlite3_context*, int, sqlite3_value**),
                               void (*step)(sqlite3_context*, int, sqlite3_value**),
                               void (*final)(sqlite3_context*), void (*destroy)(void*)) {
    return sqlite3_api->create_function_v2(db, name, argc, flags, app, call, step, final, destroy);
}

void* sqlite3_user_data(sqlite3_context* ctx) {
    return sqlite3_api->user_data(ctx);
}

int sqlite3_value_type(sqlite3_value* v) {
    return sqlite3_api->value_type(v);
}

int sqlite3_value_bytes(sqlite3_value* v) {
    return sqlite3_api->value_bytes(v);
}

double sqlite3_value_double(sqlite3_value* v) {
    return sqlite3_api->value_double(v);
}

sqlite3_int64 sqlite3_value_int64(sqlite3_value* v) {
    return sqlite3_api->value_int64(v);
}

const unsigned char* sqlite3_value_text(sqlite3_value* v) {
    return sqlite3_api->value_text(v);
}

void sqlite3_result_double(sqlite3_context* ctx, double v) {
    sqlite3_api->result_double(ctx, v);
}

void sqlite3_result_int64(sqlite3_context* ctx, sqlite3_int64 v) {
    sqlite3_api->result_int64(ctx, v);
}

void sqlite3_result_null(sqlite3_context* ctx) {
    sqlite3_api->result_null(ctx);
}

void sqlite3_result_text(sqlite3_context* ctx, const char* text, int bytes,
                         void (*destroy)(void*)) {
    sqlite3_api->result_text(ctx, text, bytes, destroy);
}

void sqlite3_result_error(sqlite3_context* ctx, const char* message, int bytes) {
    sqlite3_api->result_error(ctx, message, bytes);
}

void sqlite3_result_error_code(sqlite3_context* ctx, int code) {
    sqlite3_api->result_error_code(ctx, code);
}

}  // extern "C"
