#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora::backup {

// The file in each folder of a backup that lists every data file the whole backup holds a
// copy of (by the path the data file had), so that a backup missing a copy, or one whose
// folders were not all completed, is known not to be whole. Hidden, beside the copies.
inline const QString kContentsFile = QStringLiteral(".backup-contents");

// Writes the list into a folder of a backup, on the disk when this returns; false when it
// cannot be written.
bool writeBackupContents(const QString& folder, const QStringList& dataFiles);

// The list a folder of a backup holds; nothing for a backup made before backups carried one.
// A list that cannot be read gives an empty list: such a backup cannot be known to be whole.
std::optional<QStringList> readBackupContents(const QString& folder);

}  // namespace velmora::backup
