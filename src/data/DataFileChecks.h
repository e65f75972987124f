#pragma once

// What a data file is before SQLite touches it. Internal to the engine.

#include "SqliteErrors.h"

#include <QString>
#include <QtGlobal>

#include <sys/types.h>

namespace velmora::data {

// A file as the system knows it, to tell a file replaced under the same name.
struct FileIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FileIdentity& o) const { return dev == o.dev && ino == o.ino; }
    bool operator<(const FileIdentity& o) const { return dev != o.dev ? dev < o.dev : ino < o.ino; }
};

// A file's identity together with when and how it was last changed: a file replaced or
// changed since it was checked is another version.
struct FileVersion {
    FileIdentity identity;
    qint64 modifiedNs = 0;
    qint64 size = 0;
    bool operator<(const FileVersion& o) const {
        if (!(identity == o.identity))
            return identity < o.identity;
        return modifiedNs != o.modifiedNs ? modifiedNs < o.modifiedNs : size < o.size;
    }
};

// Refuses, with a numbered error naming the file, anything that is not a readable SQLite
// database of full length: a missing file, a folder, a pipe or device (which would block or
// never end), an unreadable, empty, cut-short or foreign file, or an Access (Jet) file.
// Never blocks and never changes the file.
void checkDataFile(const QString& path);

// Whether changes can be made to the file, and if not, why: the file's own write
// permission (honoured even for a user such as root whom the system lets write anyway)
// and its folder's, where the journal of every change is made.
struct Writability {
    ReadOnlyReason readOnly = ReadOnlyReason::None;
    FileIdentity identity;
    FileVersion version;
    bool exists = false;
};
Writability dataFileWritability(const QString& path);

// The versions of files found intact in this process: a file is checked for damage when it
// is first opened for writing (and again when something else changed it meanwhile), so that
// damage is found before a change is made to it, not by a failed save.
bool wasCheckedIntact(const FileVersion& version);
void markCheckedIntact(const FileVersion& version);

}  // namespace velmora::data
