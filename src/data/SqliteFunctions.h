#pragma once

struct sqlite3;

namespace velmora::data {

// Registers the engine's functions (IIf, DateAdd, Format, Nz, Val, ...) on a connection,
// under their Jet names and under the "jet_" names that translated SQL calls.
// Returns an SQLite result code.
int registerJetFunctions(sqlite3* db);

}  // namespace velmora::data
