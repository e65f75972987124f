#pragma once

#include "cli/StandardOptions.h"

#include <QStringList>

class QTextStream;

namespace velmora::duetool {

// The options, help and description of velmora-due.
const cli::ProgramHelp& dueHelp();

// velmora-due --data DIR [--within-days N] [--within-hours N] [--reg REG]...
//             [--settings FILE] [--csv OUT | --pdf OUT]
// Writes the fleet's due list of the data folder DIR as the Due List screen shows it: as CSV
// on out (or into OUT), or as a PDF. Returns the exit status: 0 when the list was written
// (an empty one too), 1 with a message on err when the files cannot be read or written, 2
// when an option is wrong.
int runDueCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace velmora::duetool
