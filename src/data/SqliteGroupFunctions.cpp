// First and Last, Jet's aggregates that give the value of the first or last row of a group
// in the order the rows are read (Null included, as it is the row's value).
#include "JetFunctionCatalog.h"
#include "SqliteFunctions.h"

#include <sqlite3.h>

namespace velmora::data {

namespace {

struct Kept {
    sqlite3_value* value;  // a copy of the value kept, null until a row is met
};

Kept* kept(sqlite3_context* ctx, bool make) {
    return static_cast<Kept*>(sqlite3_aggregate_context(ctx, make ? sizeof(Kept) : 0));
}

void keep(sqlite3_context* ctx, sqlite3_value* v, bool replace) {
    Kept* k = kept(ctx, true);
    if (!k) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    if (k->value && !replace)
        return;
    sqlite3_value* copy = sqlite3_value_dup(v);
    if (!copy) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    sqlite3_value_free(k->value);
    k->value = copy;
}

void firstStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    keep(ctx, argv[0], false);
}

void lastStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    keep(ctx, argv[0], true);
}

void final(sqlite3_context* ctx) {
    Kept* k = kept(ctx, false);
    if (!k || !k->value) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_value(ctx, k->value);
    sqlite3_value_free(k->value);
    k->value = nullptr;
}

}  // namespace

int registerJetGroupFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS;
    int rc = sqlite3_create_function_v2(db, kJetFirst, 1, flags, nullptr, nullptr, firstStep, final,
                                        nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, kJetLast, 1, flags, nullptr, nullptr, lastStep, final,
                                        nullptr);
    return rc;
}

}  // namespace velmora::data
