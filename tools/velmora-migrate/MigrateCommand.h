#pragma once

#include <QStringList>

class QTextStream;

namespace velmora::migratetool {

// velmora-migrate --from DIR_OR_URI --to DIR_OR_URI: copies the data set and writes the rows
// copied to out, a failure to err. Returns the exit status: 0 copied, 1 failed (nothing left
// at the target), 2 wrong arguments.
int runMigrateCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace velmora::migratetool
