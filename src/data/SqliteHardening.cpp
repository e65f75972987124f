#include "SqliteHardening.h"

#include <sqlite3.h>

namespace velmora::data {

int distrustFileSchema(sqlite3* db, bool defensive) {
    struct Setting {
        int option;
        int value;
    };
    const Setting settings[] = {
        {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
        {SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0},
        {SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0},
        {SQLITE_DBCONFIG_DEFENSIVE, defensive ? 1 : 0},
    };
    for (const Setting& s : settings) {
        int now = -1;
        const int rc = sqlite3_db_config(db, s.option, s.value, &now);
        if (rc != SQLITE_OK)
            return rc;
        if (now != s.value)
            return SQLITE_ERROR;
    }
    return SQLITE_OK;
}

}  // namespace velmora::data
