#pragma once

#include "data/Journal.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

namespace velmora::data {
class Database;
}

namespace velmora::journal {

// A point of the journal's chain kept outside the file: a line's number and its hash. The
// chain has no key, so whoever can write the file can also remove its last lines or hash
// the whole chain again after an edit; a point kept elsewhere (in the company settings
// file, in every backup, printed on every report) still names a line the file must hold
// with that very hash.
struct ChainPoint {
    std::int64_t seq = 0;
    QString hash;  // lower-case hex: all 64 digits, or the leading ones of a printed anchor
    QDateTime at;  // when the line was written (UTC); invalid when not known
    bool isNull() const { return seq <= 0; }
};

// The journal's newest line; a null point when there is no journal or no line.
ChainPoint newestLine(data::Database& mainDb);

// How a report prints a point: "line 1234, 3f5a9c0e12ab4d77" (the first 16 digits).
QString printedAnchor(const ChainPoint& point);
// A point as a person types it from a report: "1234:3f5a9c0e12ab4d77" (at least 8 digits
// of the hash; blanks, a comma or "line" may stand around them). Nothing when it is not one.
std::optional<ChainPoint> parseAnchor(const QString& text);

// Whether the file's chain agrees with a point: its line is there and carries that hash.
// Empty when it does; else what disagrees, for the user. Throws data::DbError.
QString disagreement(data::Database& mainDb, const ChainPoint& anchor);

// The points kept in the company settings file (table JournalAnchors of SetupPP.mdb), one
// per main data file, named by its absolute path (or its server location).
std::optional<ChainPoint> settingsAnchor(data::Database& settingsDb, const QString& mainFile);
// Keeps a point for the file, replacing the one kept before. Throws data::DbError.
void storeSettingsAnchor(data::Database& settingsDb, const QString& mainFile,
                         const ChainPoint& point);

// The name a main data file is kept under.
QString anchorKey(const QString& mainFile);

// For data::journal::setAfterCommit: keeps the newest line of every main data file changed
// as its anchor in this settings file.
data::journal::AfterCommitHook anchorInSettings(const QString& settingsFile);

}  // namespace velmora::journal
