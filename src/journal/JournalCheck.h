#pragma once

#include <QString>

#include <cstdint>

namespace velmora::data {
class Database;
}

namespace velmora::journal {

// What the check of a main data file's journal found.
struct CheckResult {
    bool intact = false;
    std::int64_t lines = 0;   // lines walked
    std::int64_t atLine = 0;  // the first line at fault; 0 when the fault is not in a line
    QString problem;          // empty when intact
};

// Walks the journal's hash chain from its first line and replays what it says of every
// journalled table (aircraft, components, oil samples, planned use): the check fails at the
// first line that was changed, removed or put in outside Velmora, when a journalled table is
// missing (dropped or renamed), or when a row differs from what the journal says it holds
// (a change made to the file by another program). A file without a journal fails too: every
// file gets one at its first change through Velmora. What the chain cannot tell by itself
// (lines removed from its end, or the whole chain hashed again after an edit) is found by
// comparing it with its anchors (JournalAnchors.h). Throws data::DbError when the file
// cannot be read.
CheckResult checkJournal(data::Database& mainDb);

}  // namespace velmora::journal
