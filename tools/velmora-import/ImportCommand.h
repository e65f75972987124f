#pragma once

#include <QString>
#include <QStringList>

namespace velmora::import {

// Exit statuses of velmora-import.
namespace status {
inline constexpr int Converted = 0;  // everything was converted
inline constexpr int Failed = 1;     // nothing was written: the message says why
inline constexpr int Usage = 2;      // the arguments were wrong
inline constexpr int Skipped = 3;    // the file was written, but not everything is in it
}  // namespace status

// Runs velmora-import with its arguments (without the program name): converts SOURCE, a Jet
// database, into DEST, a new Velmora data file, or with --dry-run only reports what that
// would do. The report goes to *out, errors to *err. Returns the exit status.
int runImportCommand(const QStringList& args, QString* out, QString* err);

}  // namespace velmora::import
