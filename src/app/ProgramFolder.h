#pragma once

#include "data/Failure.h"

#include <QString>

namespace velmora::app {

// The folder that holds the company settings file: the program's own folder, or, where
// that is not writable and holds no settings file, the per-user application data folder.
// A folder of programs shared by all users (/usr/bin, /usr/local/bin ...) is never the
// program folder, even for root, who can write there.
QString programFolder();
QString programFolderFor(const QString& executableFolder, const QString& userDataFolder);

// On the very first run (no settings file in the folder yet) creates the settings file
// with one company row whose data path names a new Data folder beside it, and the empty
// data files there. A failure, with a message, when that cannot be done. A folder that
// has its settings file already is left exactly as it is.
[[nodiscard]] data::MaybeFailure ensureFirstRun(const QString& folder);

}  // namespace velmora::app
