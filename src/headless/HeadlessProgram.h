#pragma once

#include "cli/StandardOptions.h"

#include <QStringList>
#include <QTextStream>

#include <functional>

namespace velmora::cli {

// What a headless program does with its arguments (without its name): writes to out and
// err and gives its exit status.
using HeadlessCommand = std::function<int(const QStringList&, QTextStream&, QTextStream&)>;

// The whole of a headless program's main(): --help, --version and unknown options first, then
// a GUI application on the offscreen platform (unless one is named), so that PDFs are painted
// without a display; the command's standard output goes through StandardOutput, so that a
// failed write is the exit status 1 with its reason.
int runHeadlessProgram(int argc, char** argv, const ProgramHelp& help,
                       const HeadlessCommand& command);

}  // namespace velmora::cli
