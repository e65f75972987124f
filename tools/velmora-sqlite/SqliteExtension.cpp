// The entry point SQLite calls when the extension is loaded (".load velmora" in the
// sqlite3 program, Tools > Load Extension in DB Browser for SQLite): it registers on that
// connection the collation the engine declares the text columns of its files with and the
// engine's functions, the same code the engine itself runs.
#include "data/SqliteFunctions.h"

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

extern "C" __attribute__((visibility("default"))) int sqlite3_velmora_init(
    sqlite3* db, char** errorMessage, const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api);
    const int rc = velmora::data::registerJetFunctions(db);
    if (rc != SQLITE_OK && errorMessage)
        *errorMessage = sqlite3_mprintf(
            "velmora: the collation JETTEXT and the Jet functions could not be registered "
            "(SQLite result code %d)",
            rc);
    return rc;
}
