#pragma once

#include <QString>

#include <cstdint>

namespace velmora::data {
class Database;
}

namespace velmora::journal {

// Whether a journal line can be undone: a change of a meter reading or an airframe total of
// an aircraft. Empty when it can; else why not, for the user.
QString whyNotUndoable(data::Database& mainDb, std::int64_t seq);

// Writes the line's old value back into its column, in one transaction that the journal
// records like any change. Refused (data::DbError, nothing changed) when the line cannot
// be undone or the value was changed again since: the later change is undone first.
void undoEntry(data::Database& mainDb, std::int64_t seq);

}  // namespace velmora::journal
