#pragma once

#include <QString>

namespace velmora::data {

// How thoroughly a file is read for damage: every page's structure (quick), or that and
// every index against its table (full, slower).
enum class CheckDepth { Quick, Full };

// What a check of a database file found.
struct FileCheck {
    bool intact = false;
    // What is wrong, in the engine's words, for a message; empty when intact.
    QString problems;
};

// Reads a database file for damage without changing its content (a change that a crash
// left unfinished in its journal is undone first, as every opening does). A file that
// cannot be a database at all (cut short, foreign bytes) counts as damaged. Throws DbError
// when the file is not there, cannot be read, or is an Access (Jet) file. A file found
// intact needs no new check when it is next opened for writing.
FileCheck checkDatabaseFile(const QString& path, CheckDepth depth = CheckDepth::Quick);

// Copies a database file page by page into a new file, with SQLite's online backup, so that
// the copy is the file as it stood at one moment, even while another connection writes to
// it. The copy is checked and on the disk when this returns. Throws DbError (disk full,
// folder read-only, source damaged ...) with a message naming the files; nothing is left
// at the destination then. An existing destination is an error, never written over.
void copyDatabaseFile(const QString& source, const QString& destination);

// Puts the content of an intact copy back into a data file. The file is rewritten through
// its own journal, all or nothing, so that connections that have it open see the restored
// content. A file too damaged to be written that way is replaced as a whole: the copy is
// written beside it and renamed over it, and a journal left beside the damaged file is
// removed (it belongs to the damaged content). Throws DbError; the file is as it was then.
void restoreDatabaseFile(const QString& copy, const QString& target);

}  // namespace velmora::data
