#pragma once

// How the engine opens a data file it may not have written itself. Internal to the engine.

struct sqlite3;

namespace velmora::data {

// Distrusts what the file's schema holds: its triggers, views, CHECK constraints, defaults
// and index expressions may call only innocuous functions (no functions with side effects,
// nothing that reads memory or files), and FTS3's tokenizer cannot be replaced by SQL.
// Defensive, besides: SQL cannot write the schema or database pages directly, nor switch
// the rollback journal off. Returns an SQLite result code.
int distrustFileSchema(sqlite3* db, bool defensive);

}  // namespace velmora::data
